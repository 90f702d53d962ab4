#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The messages the desktop side sends to the widget host, one JSON object per line. The format
// is described in README.md beside this file; these functions are its only writers and readers
// on the client side.
namespace vx::host::messages {

// {"type":"reloadAllTimelines","app":<app>}: reload every widget of the application.
[[nodiscard]] std::string reloadAllTimelines(std::string_view app);
// {"type":"notificationSettings","app":<app>}: answered by {"authorizationStatus":<integer>}.
[[nodiscard]] std::string notificationSettings(std::string_view app);
// {"type":"requestAuthorization","app":<app>,"options":<bit set>}: ask the user for permission.
[[nodiscard]] std::string requestAuthorization(std::string_view app, int options);

// The raw authorisation status of a settings answer (without its newline); nothing when the
// line is not a JSON object whose "authorizationStatus" member is an integer.
[[nodiscard]] std::optional<std::int64_t> authorizationStatus(std::string_view answer);

}  // namespace vx::host::messages
