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

 private:
  // A line's text and font, as kept and as looked up (without copying the text).
  struct Key {
    std::string text;
    double size = 0;
    int weight = 0;
    bool tabular = false;
  };
  struct Wanted {
    std::string_view text;
    double size = 0;
    int weight = 0;
    bool tabular = false;
  };
  struct Order {
    using is_transparent = void;
    static Wanted viewed(const Key& k) { return {k.text, k.size, k.weight, k.tabular}; }
    static Wanted viewed(const Wanted& w) { return w; }
    template <class A, class B>
    bool operator()(const A& a, const B& b) const {
      const Wanted x = viewed(a);
      const Wanted y = viewed(b);
      return std::tie(x.text, x.size, x.weight, x.tabular) <
             std::tie(y.text, y.size, y.weight, y.tabular);
    }
  };
  using Scale = std::array<double, 4>;
  struct FontOptionsFree {
    void operator()(cairo_font_options_t* o) const { cairo_font_options_destroy(o); }
  };
  using FontOptionsPtr = std::unique_ptr<cairo_font_options_t, FontOptionsFree>;

  GObjectPtr<PangoContext> context_;
  Scale scale_{};
  FontOptionsPtr surfaceOptions_;  // of the surface last painted on; none before the first
  std::map<Key, GObjectPtr<PangoLayout>, Order> lines_;
};

}  // namespace vx::ui
