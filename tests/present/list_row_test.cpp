// List rows with and without a project, and the project icon they start with.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <limits>

#include "component_support.hpp"
#include "present/empty_state.hpp"
#include "present/favicon.hpp"
#include "present/list_row.hpp"
#include "store/atomic_write.hpp"
#include "support/scratch.hpp"
#include "ui/png_probe.hpp"

namespace vx::present {
namespace {

using testing::acme;
using testing::frame;
using testing::framesOfKind;
using testing::inWidget;
using testing::kLarge;
using testing::kLight;
using testing::kMedium;
using testing::kSmall;
using testing::near;
using testing::PngProbe;
using testing::textNamed;
using testing::texts;

// A PNG of one colour, written as the refresh engine writes favicons.
void writeSolidPng(const std::filesystem::path& path, ui::Color color, ui::Size size = {16, 16}) {
  ui::RenderOptions options;
  options.scale = 1;
  const auto png = ui::render(ui::rectangle().fill(color), size, ui::ImageFormat::png, options);
  ASSERT_TRUE(png);
  ASSERT_FALSE(store::writeAtomically(path, png->bytes, 0644));
}

int pictures(const ui::Layout& l) {
  int count = 0;
  l.visit([&](const ui::Box& box, const ui::Rect&, int) {
    count += std::holds_alternative<ui::contents::Picture>(box.content) ? 1 : 0;
  });
  return count;
}

ui::Element row(const std::optional<ProjectEntry>& project, const Environment& env) {
  return ListRow(project, ui::text("Visitor from Lisbon asking about the invoice"),
                 ui::text("example.com \u00b7 12 visitors"), ui::text("3h 20m").fixedSize(), env)
      .tag("row");
}

TEST(ListRow, StartsWithTheIconOrWithTheTextsAndKeepsTheTrailingWhole) {
  const ui::Layout with = inWidget(row(acme(), kLight), kMedium);
  const ui::Rect r = frame(with, "row");
  EXPECT_GE(r.height, 44);
  EXPECT_LE(r.height, 56);
  const auto letter = textNamed(with, "A");
  const auto title = textNamed(with, "Visitor from Lisbon asking about the invoice");
  // The letter sits in a 28-point tile at the row's start; the texts follow 10 points later.
  EXPECT_NEAR(letter.frame.x + letter.frame.width / 2, 16 + 14, 0.01);
  EXPECT_NEAR(title.frame.x, 16 + 28 + 10, 0.01);
  EXPECT_TRUE(title.run.truncated);
  EXPECT_DOUBLE_EQ(title.run.fontSize, 14);
  EXPECT_FALSE(textNamed(with, "3h 20m").run.truncated);
  EXPECT_NEAR(textNamed(with, "3h 20m").frame.maxX(), 364 - 16, 0.01);

  const ui::Layout without = inWidget(row(std::nullopt, kLight), kMedium);
  EXPECT_DOUBLE_EQ(textNamed(without, "Visitor from Lisbon asking about the invoice").frame.x, 16);
  EXPECT_EQ(texts(without).size(), 3u);
}

TEST(Favicon, WithoutAFileIsTheLetterOnAFaintTileOfTheProjectColour) {
  const ui::Layout l = inWidget(Favicon(acme(), 28, kLight).tag("icon"), kSmall);
  EXPECT_EQ(frame(l, "icon").size(), (ui::Size{28, 28}));
  const auto letter = textNamed(l, "A").run;
  EXPECT_EQ(letter.color, ui::Color::hex("#0e7490"));
  EXPECT_DOUBLE_EQ(letter.fontSize, 14);
  EXPECT_EQ(letter.weight, ui::Weight::semibold);

  // A colour that does not read gives a black letter on a black 18 % tile.
  ProjectEntry odd = acme();
  odd.faviconColor = "teal";
  ui::RenderOptions options;
  options.scale = 1;
  const auto png =
      ui::render(Favicon(odd, 28, kLight).padding(2), {32, 32}, ui::ImageFormat::png, options);
  ASSERT_TRUE(png);
  PngProbe probe(png->bytes);
  EXPECT_TRUE(near(probe.at(4, 16), ui::Color::black().withOpacity(0.18)));
  // The rounded corner (radius 7) leaves the square's very corner empty.
  EXPECT_DOUBLE_EQ(probe.at(2, 2).opacity, 0);
}

TEST(Favicon, AFileThatIsMissingBrokenOrOutsideTheFolderFallsBackQuietly) {
  vx::testing::ScratchFolder scratch;
  const auto shared = scratch.path() / "shared";
  std::filesystem::create_directory(shared);
  writeSolidPng(scratch.path() / "outside.png", ui::Color::rgb24(0xff0000));
  std::ofstream(shared / "favicon-broken.png") << "not a png";
  // A FIFO under a favicon's name would block a plain open until someone writes to it.
  ASSERT_EQ(::mkfifo((shared / "favicon-fifo.png").c_str(), 0600), 0);
  std::filesystem::create_directory(shared / "favicon-folder.png");
  // Small on disk, but more pixels than an icon needs: refused before it is decoded.
  writeSolidPng(shared / "favicon-huge.png", ui::Color::rgb24(0xff0000), {1025, 1});
  const Environment env{ColorScheme::light, shared};

  for (const char* file :
       {"favicon-missing.png", "favicon-broken.png", "favicon-fifo.png", "favicon-folder.png",
        "favicon-huge.png", "../outside.png", "", ".", "/etc/passwd"}) {
    ProjectEntry p = acme();
    p.faviconFile = file;
    const ui::Layout l = inWidget(Favicon(p, 28, env).tag("icon"), kSmall);
    ASSERT_EQ(texts(l).size(), 1u) << file;
    EXPECT_EQ(texts(l)[0].text, "A") << file;
    EXPECT_EQ(pictures(l), 0) << file;
    EXPECT_EQ(frame(l, "icon").size(), (ui::Size{28, 28})) << file;
  }
  // No folder: the tile, even for a file name that exists somewhere.
  ProjectEntry p = acme();
  p.faviconFile = "outside.png";
  EXPECT_EQ(faviconPath(p, kLight), std::nullopt);
  EXPECT_EQ(faviconPath(p, {ColorScheme::light, scratch.path()}), scratch.path() / "outside.png");
  p.faviconFile = "../outside.png";
  EXPECT_EQ(faviconPath(p, env), std::nullopt);
}

TEST(Favicon, ALoadedFileFillsTheRoundedSquareAndKeepsItsColourWhenTinted) {
  vx::testing::ScratchFolder scratch;
  const ui::Color red = ui::Color::rgb24(0xe11d48);
  writeSolidPng(scratch.path() / "favicon-acme.png", red);
  ProjectEntry p = acme();
  p.faviconFile = "favicon-acme.png";
  const ui::Element icon = Favicon(p, 28, {ColorScheme::dark, scratch.path()}).padding(2);

  const ui::Layout l = ui::layout(icon, {32, 32});
  ASSERT_EQ(pictures(l), 1);
  EXPECT_EQ(framesOfKind(l, "image")[0], (ui::Rect{2, 2, 28, 28}));
  EXPECT_TRUE(texts(l).empty());

  ui::RenderOptions options;
  options.scale = 1;
  for (int platform : {15, 26}) {
    options.mode = ui::RenderingMode::accented;
    options.platformVersion = platform;
    const auto png = ui::render(l, ui::ImageFormat::png, options);
    ASSERT_TRUE(png);
    PngProbe probe(png->bytes);
    EXPECT_TRUE(near(probe.at(16, 16), red)) << platform;
    EXPECT_DOUBLE_EQ(probe.at(2, 2).opacity, 0) << platform;
  }
  // The largest image that is decoded.
  writeSolidPng(scratch.path() / "favicon-wide.png", red, {1024, 2});
  p.faviconFile = "favicon-wide.png";
  EXPECT_EQ(pictures(ui::layout(Favicon(p, 28, {ColorScheme::dark, scratch.path()}), {32, 32})), 1);

  // Older hosts drew images in accented mode without their colour.
  options.platformVersion = 14;
  const auto grey = ui::render(l, ui::ImageFormat::png, options);
  ASSERT_TRUE(grey);
  const ui::Color c = PngProbe(grey->bytes).at(16, 16);
  EXPECT_NEAR(c.red, c.green, 0.02);
  EXPECT_NEAR(c.green, c.blue, 0.02);
}

TEST(Favicon, ASizeThatIsNoFinitePositiveNumberTakesNoSpace) {
  for (double size : {std::nan(""), std::numeric_limits<double>::infinity(), -4.0, 0.0}) {
    EXPECT_TRUE(Favicon(acme(), size, kLight).isEmpty()) << size;
  }
}

TEST(EmptyState, FillsItsSpaceWithEveryLineCentred) {
  const std::string message = "Open Vantorix to load your projects";
  const ui::Layout l = ui::layout(
      ui::widgetContainer(EmptyState(message, kLight).tag("empty"), ui::rectangle()), kSmall);
  EXPECT_EQ(frame(l, "empty"), (ui::Rect{16, 16, 138, 138}));
  const auto text = textNamed(l, message);
  EXPECT_GT(text.run.lines.size(), 1u);
  EXPECT_FALSE(text.run.truncated);
  EXPECT_EQ(text.run.color, Ink(ColorScheme::light).secondary);
  for (const auto& line : text.run.lines) {
    EXPECT_NEAR(text.frame.x + line.x + line.width / 2, 16 + 138 / 2.0, 0.5) << line.text;
  }
  EXPECT_NEAR(text.frame.y + text.frame.height / 2, 16 + 138 / 2.0, 0.5);
}

}  // namespace
}  // namespace vx::present
