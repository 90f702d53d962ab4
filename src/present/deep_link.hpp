#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vx::present {

// The start of every link into the desktop application; the in-app path follows it.
inline constexpr std::string_view kDeepLinkBase = "vantorix://open";

// "vantorix://open" followed by `path`, unchanged. Nothing when the result is not a valid URL
// (a space, a control or non-ASCII character, a malformed percent escape, ...) or does not lead
// into the application (a path that changes the host, or adds a user or a port).
[[nodiscard]] std::optional<std::string> deepLink(std::string_view path);

// The project's overview in the application: ".../app/projects/<slug>".
[[nodiscard]] std::optional<std::string> projectLink(std::string_view slug);

// The project's goal settings:
// ".../app/projects/<slug>/analytics?project-settings=analytics.goals".
[[nodiscard]] std::optional<std::string> projectGoalsLink(std::string_view slug);

}  // namespace vx::present
