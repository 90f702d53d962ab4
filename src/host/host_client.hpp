#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

// The desktop side of the widget host: what the application asks of the host that draws its
// widgets and holds the user's notification permission. Nothing here blocks the caller, and
// with no host listening every request does nothing.
namespace vx::host {

// Receives the host's raw authorisation status, or nothing when no answer came (no host, the
// connection failed or closed, the answer was unreadable or too late).
using SettingsCompletion = std::function<void(std::optional<std::int64_t> rawStatus)>;

// Asks the host to reload the timelines of all widgets of application `app`. The message is
// handed to the socket before this returns; the host reloads on its own schedule.
void reloadAllTimelines(std::string_view app);

// Asks the host for the application's notification settings. `completion` runs exactly once,
// on another thread (or on the caller's when no thread can be started), as soon as the answer
// is in or it is clear that none will come; at the latest after `kSettingsAnswerWindow`.
void notificationSettings(std::string_view app, SettingsCompletion completion);
inline constexpr auto kSettingsAnswerWindow = std::chrono::seconds(5);

// Asks the host to request notification permission for `app` with the given option bits
// (alert 4, sound 2, badge 1). The answer, if any, is not read.
void requestAuthorization(std::string_view app, int options);

}  // namespace vx::host
