#include "ui/text_style.hpp"

#include <algorithm>

namespace vx::ui {

std::string_view rawValue(Weight w) {
  switch (w) {
    case Weight::regular:
      return "regular";
    case Weight::medium:
      return "medium";
    case Weight::semibold:
      return "semibold";
    case Weight::bold:
      return "bold";
  }
  return "regular";
}

int weightNumber(Weight w) {
  switch (w) {
    case Weight::regular:
      return 400;
    case Weight::medium:
      return 500;
    case Weight::semibold:
      return 600;
    case Weight::bold:
      return 700;
  }
  return 400;
}

TextStyle TextStyle::overriddenBy(const TextStyle& inner) const {
  TextStyle out = *this;
  if (inner.size) out.size = inner.size;
  if (inner.weight) out.weight = inner.weight;
  if (inner.color) out.color = inner.color;
  if (inner.lineLimit) out.lineLimit = inner.lineLimit;
  if (inner.minScale) out.minScale = inner.minScale;
  if (inner.tabularDigits) out.tabularDigits = inner.tabularDigits;
  if (inner.multilineAlignment) out.multilineAlignment = inner.multilineAlignment;
  return out;
}

ResolvedTextStyle resolve(const TextStyle& style) {
  ResolvedTextStyle r;
  if (style.size) r.size = std::max(0.0, *style.size);
  if (style.weight) r.weight = *style.weight;
  if (style.color) r.color = *style.color;
  // A limit below one line would hide the text entirely; one line is the least a text shows.
  if (style.lineLimit) r.lineLimit = std::max(1, *style.lineLimit);
  if (style.minScale) r.minScale = std::clamp(*style.minScale, 0.01, 1.0);
  if (style.tabularDigits) r.tabularDigits = *style.tabularDigits;
  if (style.multilineAlignment) r.multilineAlignment = *style.multilineAlignment;
  return r;
}

}  // namespace vx::ui
