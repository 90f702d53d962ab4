#pragma once

#include <pango/pangocairo.h>

#include <memory>
#include <string_view>

#include "ui/text_style.hpp"

namespace vx::ui {

// The one typeface of the widgets.
inline constexpr const char* kFontFamily = "Inter";

// A font as text is measured and drawn: family Inter at `size` points.
struct FontSpec {
  double size = 17;
  Weight weight = Weight::regular;
  bool tabularDigits = false;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

struct GObjectUnref {
  void operator()(void* p) const { g_object_unref(p); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// Measuring and painting must agree on every glyph advance, so both use contexts set up here:
// no hinted metrics and no glyph positions rounded to device pixels (which would make widths
// depend on the output's scale factor).
void configureContext(PangoContext* context);

// A context for measuring, not tied to any surface.
[[nodiscard]] GObjectPtr<PangoContext> newMeasuringContext();

// A layout holding `text` on one line (no wrapping) in `font`.
[[nodiscard]] GObjectPtr<PangoLayout> newLineLayout(PangoContext* context, std::string_view text,
                                                    const FontSpec& font);

// A layout that wraps `text` at word (or, for over-long words, character) boundaries within
// `width` points.
[[nodiscard]] GObjectPtr<PangoLayout> newWrappingLayout(PangoContext* context,
                                                        std::string_view text, const FontSpec& font,
                                                        double width);

}  // namespace vx::ui
