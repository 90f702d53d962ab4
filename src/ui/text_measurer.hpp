#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "ui/font.hpp"

namespace vx::ui {

struct FontMetrics {
  double ascent = 0;      // top of a line to its baseline
  double lineHeight = 0;  // one line's height
};

// Measures text with Pango, remembering what it measured (up to a bound, then it starts over).
class TextMeasurer {
 public:
  TextMeasurer();

  [[nodiscard]] FontMetrics metrics(const FontSpec& font);
  // Width of `text` set on one line.
  [[nodiscard]] double width(std::string_view text, const FontSpec& font);
  // The lines `text` breaks into within `width` points (absent: only at its line breaks), each
  // without its trailing spaces and line break.
  [[nodiscard]] std::vector<std::string> wrap(std::string_view text, const FontSpec& font,
                                              std::optional<double> width);
  // Byte offsets in `text` where a cut leaves whole characters (0 and text.size() included).
  [[nodiscard]] std::vector<std::size_t> cutPoints(std::string_view text);

 private:
  using FontKey = std::tuple<double, int, bool>;
  static FontKey key(const FontSpec& f) {
    return {f.size, static_cast<int>(f.weight), f.tabularDigits};
  }

  // A text under its font (and, for a wrap, the width it wraps in): kept with its own copy of
  // the text, looked up with a view of it, so that finding what was measured copies nothing.
  template <class Text>
  struct Keyed {
    FontKey font;
    Text text;
    double width = 0;
  };
  struct KeyedLess {
    using is_transparent = void;
    template <class A, class B>
    bool operator()(const Keyed<A>& a, const Keyed<B>& b) const {
      return std::make_tuple(a.font, std::string_view(a.text), a.width) <
             std::make_tuple(b.font, std::string_view(b.text), b.width);
    }
  };
  using Probe = Keyed<std::string_view>;
  using Kept = Keyed<std::string>;

  void keepBounded();

  GObjectPtr<PangoContext> context_;
  std::map<FontKey, FontMetrics> metrics_;
  std::map<Kept, double, KeyedLess> widths_;
  std::map<Kept, std::vector<std::string>, KeyedLess> wraps_;
  std::map<std::string, std::vector<std::size_t>, std::less<>> cuts_;
};

}  // namespace vx::ui
