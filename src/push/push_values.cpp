#include "push/push_values.hpp"

#include <array>
#include <fstream>
#include <iterator>

#include <openssl/evp.h>

#include "host/bundle.hpp"

namespace vx::push {
namespace {

constexpr std::string_view kWidgetsSuffix = ".widgets";
constexpr std::string_view kProfileFile = "embedded.provisionprofile";
constexpr std::string_view kApsKey = "<key>com.apple.developer.aps-environment</key>";
constexpr std::string_view kStringOpen = "<string>";
constexpr std::string_view kStringClose = "</string>";
constexpr std::string_view kDevelopment = "development";

std::optional<std::string> readProfile(const host::Bundle& bundle) {
  std::ifstream in(bundle.contentsFile(kProfileFile), std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace

std::string hex(std::span<const std::uint8_t> bytes) {
  static constexpr std::string_view kDigits = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::uint8_t byte : bytes) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
  }
  return text;
}

std::string fingerprint(std::string_view text) {
  std::array<std::uint8_t, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  // SHA-256 over a buffer in memory cannot fail short of memory exhaustion; should it, the
  // fingerprint is empty, which matches no stored one and so only causes a report to be resent.
  if (EVP_Digest(text.data(), text.size(), digest.data(), &length, EVP_sha256(), nullptr) != 1) {
    return {};
  }
  return hex(std::span(digest.data(), length));
}

std::string appID(const std::optional<std::string>& bundleIdentifier) {
  if (!bundleIdentifier) return {};
  std::string_view identifier = *bundleIdentifier;
  if (identifier.ends_with(kWidgetsSuffix)) identifier.remove_suffix(kWidgetsSuffix.size());
  return std::string(identifier);
}

std::string appID() {
  return appID(host::Bundle::main()->identifier());
}

// The profile is a signed container with the entitlements' property list inside as plain text.
// Its bytes are searched as ISO Latin-1 text, in which every byte is one character, so the
// search works on the bytes directly and cannot fail to decode.
std::string_view environmentFromProfile(const std::optional<std::string>& profile) {
  // 1. No readable profile.
  if (!profile) return kProduction;
  const std::string& text = *profile;
  // 2-3. The push-environment entitlement's key.
  auto key = text.find(kApsKey);
  if (key == std::string::npos) return kProduction;
  // 4. The first string value after it.
  auto open = text.find(kStringOpen, key + kApsKey.size());
  if (open == std::string::npos) return kProduction;
  auto valueStart = open + kStringOpen.size();
  auto close = text.find(kStringClose, valueStart);
  if (close == std::string::npos) return kProduction;
  // 5. Only the exact development value means the sandbox.
  std::string_view value(text.data() + valueStart, close - valueStart);
  return value == kDevelopment ? kSandbox : kProduction;
}

std::string_view environmentOf(const host::Bundle& bundle) {
  return environmentFromProfile(readProfile(bundle));
}

std::string_view environment() {
  static const std::string_view computed = environmentOf(*host::Bundle::main());
  return computed;
}

}  // namespace vx::push
