#pragma once

#include <cairo.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

#include "ui/font.hpp"

namespace vx::ui {

// Lines of text laid out and shaped for painting, kept from one drawing to the next: a process
// draws the same names, labels and figures image after image, and shaping them is most of what
// painting text costs. One per thread (Pango's font map is per thread); it bounds its own
// memory by starting over.
class ShapedLines {
 public:
  ShapedLines();
  ShapedLines(const ShapedLines&) = delete;
  ShapedLines& operator=(const ShapedLines&) = delete;

  // The calling thread's lines.
  static ShapedLines& ofThisThread();

  // Takes the font options and scale of what `cr` paints on. Lines kept from an earlier
  // drawing at another scale are laid out again when next used.
  void paintingOn(cairo_t* cr);

  // `text` on one line in `font`, valid until the next call.
  PangoLayout* line(std::string_view text, const FontSpec& font);

  [[nodiscard]] std::size_t size() const { return lines_.size(); }

 private:
  using Key = std::tuple<std::string, double, int, bool>;
  using Scale = std::array<double, 4>;
  struct FontOptionsFree {
    void operator()(cairo_font_options_t* o) const { cairo_font_options_destroy(o); }
  };
  using FontOptionsPtr = std::unique_ptr<cairo_font_options_t, FontOptionsFree>;

  GObjectPtr<PangoContext> context_;
  Scale scale_{};
  FontOptionsPtr surfaceOptions_;  // of the surface last painted on; none before the first
  std::map<Key, GObjectPtr<PangoLayout>, std::less<>> lines_;
};

}  // namespace vx::ui
