#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vx::host {
class Bundle;
}

// The values a push-token report is made of, derived from the token bytes, the session token and
// the running bundle.
namespace vx::push {

inline constexpr std::string_view kSandbox = "sandbox";
inline constexpr std::string_view kProduction = "production";

// Each byte as two lowercase hexadecimal digits, without separators: {0x0A, 0xFF} -> "0aff".
[[nodiscard]] std::string hex(std::span<const std::uint8_t> bytes);

// SHA-256 of the text's bytes, as 64 lowercase hexadecimal digits. Stands in for a session
// token wherever one must be recognised again without being kept.
[[nodiscard]] std::string fingerprint(std::string_view text);

// The desktop application's identifier: the extension's bundle identifier less a trailing
// ".widgets"; an identifier without that ending is used as it is, none gives "".
[[nodiscard]] std::string appID(const std::optional<std::string>& bundleIdentifier);
// The same for the running bundle.
[[nodiscard]] std::string appID();

// "sandbox" when the provisioning profile's bytes grant the development push environment,
// otherwise "production" (also for no profile at all).
[[nodiscard]] std::string_view environmentFromProfile(const std::optional<std::string>& profile);
// The environment of a bundle, from its "Contents/embedded.provisionprofile".
[[nodiscard]] std::string_view environmentOf(const host::Bundle& bundle);
// The environment of the running bundle, read once per process (safe under concurrent first
// use); later calls answer the same even when the bundle changes on disk.
[[nodiscard]] std::string_view environment();

}  // namespace vx::push
