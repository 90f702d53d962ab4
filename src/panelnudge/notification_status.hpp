#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "host/host_client.hpp"

namespace vx::panelnudge {

// The text for a raw authorisation status: 0 "undecided", 1 "denied", 2 to 4 "allowed"
// (authorised, provisional, ephemeral), anything else "unknown".
[[nodiscard]] std::string_view statusText(std::int64_t rawStatus);

// Where the settings query's completion leaves its result for the waiting caller. Shared
// between the two, since the completion may run after the caller has stopped waiting.
class Answer {
 public:
  void setStatus(std::string_view text);
  [[nodiscard]] std::string status() const;

 private:
  mutable std::mutex mutex_;
  std::string status_ = "unknown";
};

// Starts a settings query whose completion may run on any thread, at any time, or not at all.
using SettingsQuery = std::function<void(host::SettingsCompletion)>;

// How long "notificationStatus" waits for the settings.
inline constexpr std::chrono::steady_clock::duration kStatusWait = std::chrono::seconds(1);

// The application's notification permission as "allowed", "denied", "undecided" or "unknown",
// asked through `askSettings` and waiting for its answer at most `wait`.
[[nodiscard]] std::string notificationStatus(const SettingsQuery& askSettings,
                                             std::chrono::steady_clock::duration wait);
// The same, asking the widget host and waiting `kStatusWait`.
[[nodiscard]] std::string notificationStatus();

}  // namespace vx::panelnudge
