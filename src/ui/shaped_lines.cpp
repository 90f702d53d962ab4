#include "ui/shaped_lines.hpp"

#include <pango/pangocairo.h>

namespace vx::ui {

namespace {

// Lines kept before starting over: the widgets of a session show a few hundred, and a laid-out
// line costs a few kilobytes.
constexpr std::size_t kMaxLines = 1024;

}  // namespace

ShapedLines::ShapedLines() : context_(newMeasuringContext()) {}

ShapedLines& ShapedLines::ofThisThread() {
  thread_local ShapedLines lines;
  return lines;
}

void ShapedLines::paintingOn(cairo_t* cr) {
  // Pango counts every update of a context as a change and lays each kept line out again at
  // its next use, so the context is updated only when the scale or the surface's font options
  // differ from the last time. Where a band is translated to does not matter to shaping.
  cairo_matrix_t matrix;
  cairo_get_matrix(cr, &matrix);
  const Scale scale{matrix.xx, matrix.yx, matrix.xy, matrix.yy};
  FontOptionsPtr options(cairo_font_options_create());
  cairo_surface_get_font_options(cairo_get_target(cr), options.get());
  if (surfaceOptions_ && scale == scale_ &&
      cairo_font_options_equal(options.get(), surfaceOptions_.get())) {
    return;
  }
  pango_cairo_update_context(cr, context_.get());
  configureContext(context_.get());
  scale_ = scale;
  surfaceOptions_ = std::move(options);
}

PangoLayout* ShapedLines::line(std::string_view text, const FontSpec& font) {
  const Wanted wanted{text, font.size, static_cast<int>(font.weight), font.tabularDigits};
  if (auto it = lines_.find(wanted); it != lines_.end()) return it->second.get();
  if (lines_.size() >= kMaxLines) lines_.clear();
  auto layout = newLineLayout(context_.get(), text, font);
  PangoLayout* kept = layout.get();
  lines_.emplace(Key{std::string(text), wanted.size, wanted.weight, wanted.tabular},
                 std::move(layout));
  return kept;
}

}  // namespace vx::ui
