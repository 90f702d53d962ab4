#pragma once

#include <string>
#include <string_view>

namespace vx::refresh {

// The text as one safe query value: ASCII letters and digits stay, every other byte of its UTF-8
// form becomes "%" and two upper-case hex digits ("a b/c" → "a%20b%2Fc", "é" → "%C3%A9").
[[nodiscard]] std::string percentEncoded(std::string_view text);

}  // namespace vx::refresh
