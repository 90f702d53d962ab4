#include "refresh/percent_encoding.hpp"

namespace vx::refresh {
namespace {

bool isAsciiAlphanumeric(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

// Non-ASCII letters and digits are encoded too: raw bytes above 0x7F are not valid in a request
// target, and the service decodes %C3%A9 to the same identifier. Every byte is encoded on its
// own, so text that is not valid UTF-8 still yields a safe value rather than passing through.
std::string percentEncoded(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size() * 3);
  for (char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (isAsciiAlphanumeric(byte)) {
      encoded.push_back(ch);
    } else {
      encoded.push_back('%');
      encoded.push_back(kHex[byte >> 4]);
      encoded.push_back(kHex[byte & 0x0F]);
    }
  }
  return encoded;
}

}  // namespace vx::refresh
