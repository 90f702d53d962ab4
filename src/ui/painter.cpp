#include "ui/painter.hpp"

#include <algorithm>
#include <cmath>

#include "ui/bitmap.hpp"
#include "ui/font.hpp"
#include "ui/overloaded.hpp"
#include "ui/shape_path.hpp"
#include "ui/shaped_lines.hpp"
#include "ui/symbol_drawing.hpp"

namespace vx::ui {

namespace {

bool drawable(Size s) {
  return std::isfinite(s.width) && std::isfinite(s.height) && s.width > 0 && s.height > 0;
}

// How far, in points, what a box draws may reach past its frame: a glyph's ink past its line,
// a stroke's half width, a dot on a chart's edge.
constexpr double kInkMargin = 24;

// Whether a rectangle, widened by the ink margin, meets the part of the surface being painted.
bool meets(const Painter::Extent& area, const Painter::Extent& painted) {
  return area.x1 + kInkMargin > painted.x0 && area.x0 - kInkMargin < painted.x1 &&
         area.y1 + kInkMargin > painted.y0 && area.y0 - kInkMargin < painted.y1;
}

Painter::Extent moved(const Painter::Extent& e, Point by) {
  return {e.x0 + by.x, e.y0 + by.y, e.x1 + by.x, e.y1 + by.y};
}

}  // namespace

Painter::Painter(cairo_t* cr, const RenderOptions& options)
    : cr_(cr), options_(options), lines_(&ShapedLines::ofThisThread()) {}

void Painter::paint(const Layout& layout) {
  lines_->paintingOn(cr_);
  // What is being painted, in the layout's coordinates: an image is painted band by band, and
  // each band needs only the boxes across it.
  cairo_clip_extents(cr_, &painted_.x0, &painted_.y0, &painted_.x1, &painted_.y1);
  paintBox(layout.root(), layout.rootOrigin(), {0, 0}, false);
}

// The box's frame and those of everything inside it, in the box's own coordinates.
const Painter::Extent& Painter::reach(const Box& box) {
  if (auto found = reach_.find(&box); found != reach_.end()) return found->second;
  Extent e{0, 0, box.size.width, box.size.height};
  for (const auto& child : box.children) {
    const Extent c = moved(reach(*child.box), child.origin);
    e = {std::min(e.x0, c.x0), std::min(e.y0, c.y0), std::max(e.x1, c.x1), std::max(e.y1, c.y1)};
  }
  return reach_.emplace(&box, e).first->second;
}

void Painter::setColor(Color c, bool accent) {
  if (options_.mode == RenderingMode::accented) {
    const Color& flat = accent ? options_.tint : options_.plain;
    c = flat.withOpacity(flat.opacity * c.opacity);
  }
  cairo_set_source_rgba(cr_, c.red, c.green, c.blue, c.opacity);
}

void Painter::paintBox(const Box& box, Point origin, Point parent, bool accent) {
  if (box.containerBackground && options_.mode == RenderingMode::accented) return;
  if (box.opacity <= 0) return;
  const Point at{parent.x + origin.x, parent.y + origin.y};
  if (!meets(moved(reach(box), at), painted_)) return;
  accent = accent || box.accentable;

  cairo_save(cr_);
  cairo_translate(cr_, origin.x, origin.y);
  if (box.clip) {
    cairo_new_path(cr_);
    appendRoundedRect(cr_, {0, 0, box.size.width, box.size.height}, *box.clip);
    cairo_clip(cr_);
  }
  const bool group = box.opacity < 1;
  if (group) cairo_push_group(cr_);

  if (meets(moved({0, 0, box.size.width, box.size.height}, at), painted_)) {
    paintContent(box, accent);
  }
  for (const auto& child : box.children) paintBox(*child.box, child.origin, at, accent);

  if (group) {
    cairo_pop_group_to_source(cr_);
    cairo_paint_with_alpha(cr_, box.opacity);
  }
  cairo_restore(cr_);
}

void Painter::paintContent(const Box& box, bool accent) {
  std::visit(Overloaded{
                 [](const contents::None&) {},
                 [&](const contents::TextRun& run) { paintText(run, accent); },
                 [&](const contents::Drawing& d) { paintItems(d.items, accent); },
                 [&](const contents::CanvasDrawing& c) {
                   if (drawable(box.size)) paintItems(c.draw(box.size), accent);
                 },
                 [&](const contents::Picture& p) { paintPicture(p, box.size); },
                 [&](const contents::SymbolDrawing& s) {
                   setColor(s.color, accent);
                   drawSymbol(cr_, s.symbol, {0, 0, box.size.width, box.size.height}, s.weight);
                 },
             },
             box.content);
}

void Painter::paintText(const contents::TextRun& run, bool accent) {
  setColor(run.color, accent);
  const FontSpec font{run.fontSize, run.weight, run.tabularDigits};
  for (const auto& line : run.lines) {
    if (line.text.empty()) continue;
    PangoLayout* layout = lines_->line(line.text, font);
    const double top = line.baseline - pango_layout_get_baseline(layout) / double(PANGO_SCALE);
    cairo_move_to(cr_, line.x, top);
    pango_cairo_show_layout(cr_, layout);
  }
}

void Painter::paintItems(const std::vector<ShapeItem>& items, bool accent) {
  for (const auto& item : items) {
    appendShapePath(cr_, item.shape);
    setColor(item.paint.color, accent || item.accentable);
    if (item.paint.stroke) {
      cairo_save(cr_);
      applyStroke(cr_, *item.paint.stroke);
      cairo_stroke(cr_);
      cairo_restore(cr_);
    } else {
      cairo_fill(cr_);
    }
  }
}

void Painter::paintPicture(const contents::Picture& picture, Size size) {
  if (!picture.bitmap || !drawable(size)) return;
  std::shared_ptr<const Bitmap> bitmap = picture.bitmap;
  // Before the platform kept image colours in accented mode, images there lost their colour.
  if (options_.mode == RenderingMode::accented &&
      options_.platformVersion < kFullColorImagesSince) {
    bitmap = bitmap->monochrome();
    if (!bitmap) return;
  }
  cairo_save(cr_);
  cairo_rectangle(cr_, 0, 0, size.width, size.height);
  cairo_clip(cr_);
  cairo_scale(cr_, size.width / bitmap->width(), size.height / bitmap->height());
  cairo_set_source_surface(cr_, bitmap->surface(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_GOOD);
  cairo_pattern_set_extend(cairo_get_source(cr_), CAIRO_EXTEND_PAD);
  cairo_paint(cr_);
  cairo_restore(cr_);
}

}  // namespace vx::ui
