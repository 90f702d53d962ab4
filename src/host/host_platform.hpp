#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// What the widget host has declared about itself: the platform version it runs (which gates
// push-token reporting and the full-colour favicons) and the push token it holds for this
// extension's widgets, if it has handed one out. The driver sets both from its command line;
// tests set them directly. Safe to read and write from any thread.
namespace vx::host::platform {

// The platform version the host runs when it says nothing else.
inline constexpr int kDefaultVersion = 26;

[[nodiscard]] int version();
void setVersion(int version);

// True when the host runs `major` or later ("26 or later" is `isAtLeast(26)`).
[[nodiscard]] bool isAtLeast(int major);

// The host's current push token for the widgets; nothing while it has given none.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> currentPushToken();
void setCurrentPushToken(std::optional<std::vector<std::uint8_t>> token);

// Reads a push token written as hexadecimal text (two digits per byte, either case, no
// separators), as the driver receives it on its command line. Nothing when the text is empty,
// has an odd length or holds anything but hexadecimal digits.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> decodePushToken(std::string_view hex);

}  // namespace vx::host::platform
