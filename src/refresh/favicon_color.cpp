#include "refresh/favicon_color.hpp"

#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>

namespace vx::refresh {
namespace {

constexpr std::array<const char*, 10> kPalette{
    "#06b6d4", "#0d9488", "#10b981", "#8b5cf6", "#f59e0b",
    "#ec4899", "#6366f1", "#ef4444", "#f97316", "#14b8a6",
};

// h = h * 31 + u over the UTF-16 code units, wrapping at 32 bits.
std::uint32_t hash(const icu::UnicodeString& text) {
  std::uint32_t h = 0;
  for (std::int32_t i = 0; i < text.length(); ++i) h = h * 31u + text.charAt(i);
  return h;
}

// The hash read as a signed 32-bit number, made non-negative; the most negative value has no
// positive counterpart in 32 bits and becomes 2^31.
std::uint32_t magnitude(std::uint32_t h) {
  const auto signedValue = static_cast<std::int32_t>(h);
  if (signedValue >= 0) return static_cast<std::uint32_t>(signedValue);
  return 0u - h;
}

}  // namespace

std::string faviconColor(std::string_view text) {
  const std::size_t size = std::min<std::size_t>(text.size(), INT32_MAX);
  const icu::UnicodeString utf16 =
      icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<std::int32_t>(size)));
  return kPalette[magnitude(hash(utf16)) % kPalette.size()];
}

}  // namespace vx::refresh
