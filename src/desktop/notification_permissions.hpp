#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace vx::desktop {

// Notification authorisation per application, as the host socket reports it.
enum class Authorization : std::int64_t { notDetermined = 0, denied = 1, authorized = 2 };

// The user's answers, kept in `notifications.json` in the host's folder ({"<app>": status}),
// replaced whole on every change. Read afresh on every question, so that an answer given with
// the `notifications` sub-command reaches a running host at once.
class NotificationPermissions {
 public:
  explicit NotificationPermissions(std::filesystem::path file) : file_(std::move(file)) {}

  // The stored answer; not determined when the application was never asked (or the file is
  // missing or unreadable).
  [[nodiscard]] Authorization status(const std::string& app) const;
  // Stores the user's answer. Throws `std::runtime_error` when the file cannot be written.
  void store(const std::string& app, Authorization answer) const;

 private:
  std::filesystem::path file_;
};

[[nodiscard]] std::filesystem::path notificationsFile(const std::filesystem::path& folder);

}  // namespace vx::desktop
