#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "png_probe.hpp"
#include "store/atomic_write.hpp"
#include "support/scratch.hpp"
#include "ui/png_bands.hpp"
#include "ui/ui.hpp"

namespace vx::ui {
namespace {

using testing::near;
using testing::PngProbe;

const Color kRed = Color::rgb24(0xff0000);
const Color kBlue = Color::rgb24(0x0000ff);
const Color kWhite = Color::white();
const Color kInk = Color::rgb24(0x0f172a);

std::string renderPng(const Element& e, Size size, const RenderOptions& o = {}) {
  auto r = render(e, size, ImageFormat::png, o);
  EXPECT_TRUE(r.has_value());
  return r ? r->bytes : std::string();
}

// A 40x20 canvas: white background, a blue 10x10 square at (4, 4), a red one in the accent group
// at (20, 4).
Element squares() {
  return row({rectangle().fill(kBlue).frame(10, 10),
              rectangle().fill(kRed).frame(10, 10).accentable()})
      .spacing(6)
      .padding(4)
      .frame(40, 20, Alignment::topLeading)
      .background(rectangle().fill(kWhite).containerBackground());
}

class TempDir : public ::testing::Test {
 protected:
  vx::testing::ScratchFolder scratch_;
  const std::filesystem::path dir_ = scratch_.path();
};

TEST(Render, PngHasTheExpectedColoursAtChosenPixelsAtTwiceTheSize) {
  PngProbe png(renderPng(squares(), {40, 20}));
  ASSERT_TRUE(png.ok());
  EXPECT_EQ(png.width(), 80);
  EXPECT_EQ(png.height(), 40);
  EXPECT_TRUE(near(png.at(2, 2), kWhite));
  EXPECT_TRUE(near(png.at(18, 18), kBlue));   // point (9, 9)
  EXPECT_TRUE(near(png.at(50, 18), kRed));    // point (25, 9)
  EXPECT_TRUE(near(png.at(38, 18), kWhite));  // the 6-point gap between them
}

TEST(Render, ScaleSetsPixelsPerPoint) {
  RenderOptions o;
  o.scale = 3;
  PngProbe png(renderPng(squares(), {40, 20}, o));
  EXPECT_EQ(png.width(), 120);
  EXPECT_TRUE(near(png.at(27, 27), kBlue));
}

// A wide image is painted in bands of about 512 KiB of canvas (here 1600 pixels wide: 81 rows
// each). Every row of every band carries the picture, moved by its band's offset, with no seam.
TEST(Render, TallImagePaintedInBandsMatchesThePictureOnEveryRow) {
  // Horizontal stripes 25 points high, alternating red and blue, over a white background.
  Elements stripes;
  for (int i = 0; i < 12; ++i)
    stripes.push_back(rectangle().fill(i % 2 ? kBlue : kRed).frame(800, 25));
  const Element picture = column(stripes)
                              .spacing(0)
                              .frame(800, 300, Alignment::topLeading)
                              .background(rectangle().fill(kWhite));
  PngProbe png(renderPng(picture, {800, 300}));
  ASSERT_TRUE(png.ok());
  ASSERT_EQ(png.width(), 1600);
  ASSERT_EQ(png.height(), 600);
  for (int y = 0; y < 600; ++y) {
    // Stripe edges fall on even pixel rows at scale 2, so every row is one colour.
    const Color expected = (y / 50) % 2 ? kBlue : kRed;
    for (int x : {0, 799, 1599}) {
      ASSERT_TRUE(near(png.at(x, y), expected)) << "pixel " << x << "," << y;
    }
  }
}

// The colour type in a PNG's header: 2 for RGB, 6 for RGB with alpha.
int colourType(const std::string& png) {
  return png.size() > 25 ? static_cast<unsigned char>(png[25]) : -1;
}

TEST(Render, OnlyImagesWithTranslucentPixelsCarryAnAlphaChannel) {
  EXPECT_EQ(colourType(renderPng(squares(), {40, 20})), 2);
  RenderOptions accented;
  accented.mode = RenderingMode::accented;
  EXPECT_EQ(colourType(renderPng(squares(), {40, 20}, accented)), 6);

  // Opaque in the first bands, clear in the last rows: the whole image keeps its alpha.
  const Element partly = rectangle()
                             .fill(kBlue)
                             .frame(800, 290)
                             .frame(800, 300, Alignment::top)
                             .background(rectangle().fill(kWhite).frame(800, 295), Alignment::top);
  const std::string bytes = renderPng(partly, {800, 300});
  EXPECT_EQ(colourType(bytes), 6);
  PngProbe png(bytes);
  ASSERT_EQ(png.height(), 600);
  EXPECT_TRUE(near(png.at(10, 10), kBlue));
  EXPECT_TRUE(near(png.at(10, 585), kWhite));
  EXPECT_DOUBLE_EQ(png.at(10, 599).opacity, 0);
}

// The opacity check covers every pixel of every row: one clear pixel at the far end of a row in
// a middle band keeps the alpha channel for the whole image, and the colours stay in place.
TEST(Render, OneClearPixelAtARowsEndKeepsTheAlphaChannel) {
  const int width = 1200;
  const int height = 400;
  auto paint = [&](bool notch) {
    return [notch, width](cairo_t* cr, int) {
      cairo_set_source_rgb(cr, 1, 0, 0);
      cairo_paint(cr);
      cairo_set_source_rgb(cr, 0, 0, 1);
      cairo_rectangle(cr, width - 10, 0, 10, 10);
      cairo_fill(cr);
      if (notch) {
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_rectangle(cr, width - 1, 250, 1, 1);
        cairo_fill(cr);
      }
      return true;
    };
  };
  for (const bool notch : {false, true}) {
    std::string bytes;
    ASSERT_TRUE(encodePngInBands(width, height, paint(notch), PngAlpha::expectOpaque, bytes));
    EXPECT_EQ(colourType(bytes), notch ? 6 : 2);
    PngProbe png(bytes);
    EXPECT_TRUE(near(png.at(0, 0), kRed));
    EXPECT_TRUE(near(png.at(width - 1, 0), kBlue));
    EXPECT_TRUE(near(png.at(width - 1, 249), kRed));
    EXPECT_DOUBLE_EQ(png.at(width - 1, 250).opacity, notch ? 0 : 1);
  }
}

// Text is shaped once per image and painted in every band: each text shows in its own frame,
// in whichever band it falls.
TEST(Render, TextInEveryBandIsPaintedInItsOwnFrame) {
  const Color colours[] = {kRed, kBlue, Color::rgb24(0x00aa00)};
  Elements texts;
  for (int i = 0; i < 3; ++i) {
    texts.push_back(text(i == 1 ? "Middle" : "Edge")
                        .font(30, Weight::bold)
                        .color(colours[i])
                        .tag("t" + std::to_string(i))
                        .frame(800, 100));
  }
  const Layout l =
      layout(column(texts).spacing(0).background(rectangle().fill(kWhite)), {800, 300});
  auto r = render(l, ImageFormat::png);
  ASSERT_TRUE(r);
  PngProbe png(r->bytes);
  for (int i = 0; i < 3; ++i) {
    const Rect f = *l.frameOf("t" + std::to_string(i));
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < png.height(); ++y) {
      for (int x = 0; x < png.width(); x += 2) {
        if (!near(png.at(x, y), colours[i], 0.1)) continue;
        (f.contains({x / 2.0, y / 2.0}) ? inside : outside) += 1;
      }
    }
    EXPECT_GT(inside, 50) << "text " << i;
    EXPECT_EQ(outside, 0) << "text " << i;
  }
}

TEST(Render, AccentedModeTintsTheAccentGroupFlattensTheRestAndClearsTheBackground) {
  RenderOptions o;
  o.mode = RenderingMode::accented;
  o.tint = Color::rgb24(0xff9500);
  o.plain = Color::rgb24(0xeeeeee);
  PngProbe png(renderPng(squares(), {40, 20}, o));
  EXPECT_DOUBLE_EQ(png.at(2, 2).opacity, 0);
  EXPECT_TRUE(near(png.at(18, 18), o.plain));
  EXPECT_TRUE(near(png.at(50, 18), o.tint));
}

TEST(Render, OpacityBlendsWithWhatIsBehind) {
  auto tree = rectangle().fill(kBlue).opacity(0.5).background(rectangle().fill(kWhite));
  PngProbe png(renderPng(tree, {10, 10}));
  EXPECT_TRUE(near(png.at(10, 10), Color{0.5, 0.5, 1, 1}, 3.0 / 255));
}

TEST(Render, ClipToRoundedRectangleCutsTheCorners) {
  auto tree = rectangle().fill(kBlue).clip(10).frame(20, 20).background(rectangle().fill(kWhite));
  PngProbe png(renderPng(tree, {20, 20}));
  EXPECT_TRUE(near(png.at(1, 1), kWhite));
  EXPECT_TRUE(near(png.at(20, 20), kBlue));
  EXPECT_TRUE(near(png.at(20, 1), kBlue));  // the middle of the top edge is not cut
}

TEST(Render, DashedStrokeLeavesGaps) {
  auto tree = canvas([](Size s) {
                return std::vector<ShapeItem>{ShapeItem::stroke(
                    Shape::path(Path().moveTo({0, s.height / 2}).lineTo({s.width, s.height / 2})),
                    kRed, StrokeStyle{4, LineCap::butt, LineJoin::miter, 10, {10, 10}, 0})};
              }).background(rectangle().fill(kWhite));
  PngProbe png(renderPng(tree, {40, 10}));
  EXPECT_TRUE(near(png.at(10, 10), kRed));    // point (5, 5): on
  EXPECT_TRUE(near(png.at(30, 10), kWhite));  // point (15, 5): off
  EXPECT_TRUE(near(png.at(50, 10), kRed));    // point (25, 5): on again
}

TEST(Render, PerCornerRadiiRoundOnlyTheirCorners) {
  CornerRadii top{8, 8, 0, 0};
  auto tree = roundedRectangle(top).fill(kBlue).background(rectangle().fill(kWhite));
  PngProbe png(renderPng(tree, {20, 20}));
  EXPECT_TRUE(near(png.at(0, 0), kWhite));
  EXPECT_TRUE(near(png.at(0, 39), kBlue));
  EXPECT_TRUE(near(png.at(39, 39), kBlue));
}

TEST(Render, TextIsPaintedInItsColourInsideItsFrame) {
  auto tree = text("Hello")
                  .font(20, Weight::semibold)
                  .color(kRed)
                  .tag("t")
                  .background(rectangle().fill(kWhite));
  const Layout l = layout(tree, {80, 30});
  auto r = render(l, ImageFormat::png);
  ASSERT_TRUE(r);
  PngProbe png(r->bytes);
  const Rect f = *l.frameOf("t");
  int inked = 0;
  int outside = 0;
  for (int y = 0; y < png.height(); ++y) {
    for (int x = 0; x < png.width(); ++x) {
      if (!near(png.at(x, y), kRed, 0.1)) continue;
      if (f.contains({x / 2.0, y / 2.0})) {
        ++inked;
      } else {
        ++outside;
      }
    }
  }
  EXPECT_GT(inked, 50);
  EXPECT_EQ(outside, 0);
}

TEST(Render, CheckmarkSymbolIsADiscWithTheCheckCutOut) {
  auto tree = symbol(Symbol::checkmarkCircleFill)
                  .font(20, Weight::semibold)
                  .color(kRed)
                  .background(rectangle().fill(kWhite));
  PngProbe png(renderPng(tree, {20, 20}));
  // Upper part of the disc is filled; the corner of the check shows the background.
  EXPECT_TRUE(near(png.at(20, 8), kRed));
  EXPECT_TRUE(
      near(png.at(static_cast<int>(0.44 * 40), static_cast<int>(0.67 * 40) - 1), kWhite, 0.15));
  EXPECT_TRUE(near(png.at(1, 1), kWhite));
}

TEST_F(TempDir, ImagesKeepTheirColoursInAccentedModeFromPlatformVersion15) {
  // A 4x4 red PNG file.
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, 1, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  const std::string path = (dir_ / "favicon.png").string();
  ASSERT_EQ(cairo_surface_write_to_png(s, path.c_str()), CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(s);

  auto tree = image(path).resizable().fallback(rectangle().fill(kBlue)).frame(20, 20);
  RenderOptions o;
  EXPECT_TRUE(near(PngProbe(renderPng(tree, {20, 20}, o)).at(20, 20), kRed));
  o.mode = RenderingMode::accented;
  o.platformVersion = 15;
  EXPECT_TRUE(near(PngProbe(renderPng(tree, {20, 20}, o)).at(20, 20), kRed));
  o.platformVersion = 14;
  const Color grey = PngProbe(renderPng(tree, {20, 20}, o)).at(20, 20);
  EXPECT_NEAR(grey.red, grey.green, 0.01);
  EXPECT_NEAR(grey.green, grey.blue, 0.01);
  EXPECT_GT(grey.red, 0.1);
}

TEST_F(TempDir, ImageFileThatIsNotAPngDrawsTheFallback) {
  const std::string path = (dir_ / "broken.png").string();
  std::ofstream(path) << "not a png";
  auto tree = image(path).resizable().fallback(rectangle().fill(kBlue)).frame(20, 20);
  EXPECT_TRUE(near(PngProbe(renderPng(tree, {20, 20})).at(20, 20), kBlue));
}

// A band paints a box for what reaches into it, not for its own frame: a layer overflowing a
// small box at the top is drawn down into the later bands too.
TEST(Render, WhatOverflowsABoxIsPaintedInEveryBandItReaches) {
  const Element tall = column({gap(20), rectangle().fill(kWhite).frame(10, 10).overlay(
                                            rectangle().fill(kRed).frame(40, 1000))})
                           .frame(100, 700, Alignment::top)
                           .background(rectangle().fill(kBlue));
  PngProbe png(renderPng(tall, {100, 700}));
  ASSERT_EQ(png.height(), 1400);
  for (const int y : {100, 500, 900, 1040}) {
    EXPECT_TRUE(near(png.at(100, y), kRed, 0.02)) << "row " << y;
    EXPECT_TRUE(near(png.at(20, y), kBlue, 0.02)) << "row " << y;
  }
}

// Shaped lines are kept from one drawing to the next: the same words drawn later at another
// size are drawn at that size.
TEST(Render, SameTextInAnotherFontIsShapedInThatFont) {
  const auto inkOutsideFrame = [](const Layout& l) {
    auto r = render(l, ImageFormat::png);
    EXPECT_TRUE(r);
    PngProbe png(r ? r->bytes : std::string());
    const Rect f = *l.frameOf("t");
    int outside = 0;
    for (int y = 0; y < png.height(); ++y) {
      for (int x = 0; x < png.width(); ++x) {
        if (near(png.at(x, y), kRed, 0.1) && !f.contains({x / 2.0, y / 2.0})) ++outside;
      }
    }
    return outside;
  };
  const auto drawn = [](double size, Weight weight) {
    return layout(text("Visitors 12,480")
                      .font(size, weight)
                      .color(kRed)
                      .tag("t")
                      .background(rectangle().fill(kWhite))
                      .frame(300, 60, Alignment::topLeading),
                  {300, 60});
  };
  EXPECT_EQ(inkOutsideFrame(drawn(30, Weight::bold)), 0);
  EXPECT_EQ(inkOutsideFrame(drawn(11, Weight::bold)), 0);
  EXPECT_EQ(inkOutsideFrame(drawn(30, Weight::bold)), 0);
}

TEST(Render, SvgAndPdfAreDrawnInPoints) {
  auto svg = render(squares(), {40, 20}, ImageFormat::svg);
  auto pdf = render(squares(), {40, 20}, ImageFormat::pdf);
  ASSERT_TRUE(svg && pdf);
  EXPECT_NE(svg->bytes.find("<svg"), std::string::npos);
  EXPECT_NE(svg->bytes.find("width=\"40"), std::string::npos);
  EXPECT_EQ(pdf->bytes.rfind("%PDF", 0), 0u);
  EXPECT_EQ(svg->pixelWidth, 0);
}

// Emoji come from the colour emoji font (in SVG and PDF as embedded images), not as empty boxes.
TEST(Render, EmojiDrawInColour) {
  const Element tree = text("\U0001F600").font(30).color(kInk);
  PngProbe png(renderPng(tree.background(rectangle().fill(kWhite)), {40, 40}));
  bool yellow = false;  // the face, where a missing glyph would be a box in the text's colour
  for (int i = 0; i < png.width() * png.height(); ++i) {
    const Color c = png.at(i % png.width(), i / png.width());
    yellow = yellow || c.red - c.blue > 0.5;
  }
  EXPECT_TRUE(yellow);
  auto drawn = [&](ImageFormat f) { return render(tree, {40, 40}, f)->bytes; };
  EXPECT_NE(drawn(ImageFormat::svg).find("data:image/png"), std::string::npos);
  EXPECT_NE(drawn(ImageFormat::pdf).find("/Subtype /Image"), std::string::npos);
}

TEST(Render, CanvasThatCannotBeMadeGivesNoResult) {
  EXPECT_FALSE(render(squares(), {0, 20}, ImageFormat::png));
  EXPECT_FALSE(render(squares(), {40, infinity}, ImageFormat::svg));
  RenderOptions o;
  o.scale = -1;
  EXPECT_FALSE(render(squares(), {40, 20}, ImageFormat::png, o));
  o.scale = 1000;
  EXPECT_FALSE(render(squares(), {40, 20}, ImageFormat::png, o));
}

// Drawing hands back the file's bytes; they are stored with the shared store's writer.
TEST_F(TempDir, ImageBytesReplaceTheFileWhole) {
  auto r = render(squares(), {40, 20}, ImageFormat::png);
  ASSERT_TRUE(r);
  const std::string path = (dir_ / "out.png").string();
  std::ofstream(path) << "old";
  ASSERT_FALSE(store::writeAtomically(path, r->bytes, 0644));
  EXPECT_EQ(std::filesystem::file_size(path), r->bytes.size());
  EXPECT_TRUE(store::writeAtomically(dir_ / "missing" / "out.png", r->bytes, 0644));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

}  // namespace
}  // namespace vx::ui
