#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace vx::desktop {

// Notification authorisation per application, as the host socket reports it.
enum class Authorization : std::int64_t { notDetermined = 0, denied = 1, authorized = 2 };

// The user's answers, kept in `notifications.json` in the host's folder ({"<app>": status}),
// replaced whole on every change, and in memory: questions are answered from memory, and the
// file is read again only when it changed, so that an answer given with the `notifications`
// sub-command reaches a running host at once (`follow`). Answers are kept for the host's own
// application and for at most `kOtherApplications` others, so that made-up application names
// cannot grow the file; an application beyond them is never asked and stays undecided.
class NotificationPermissions {
 public:
  static constexpr std::size_t kOtherApplications = 16;
  // The longest application name that is kept, in bytes.
  static constexpr std::size_t kLongestName = 255;

  NotificationPermissions(std::filesystem::path file, std::string ownApp);

  [[nodiscard]] const std::string& ownApp() const { return ownApp_; }
  // Reads the file again when it changed since it was last read or written; a file that is
  // missing or cannot be understood holds no answers.
  void follow();
  // The stored answer; not determined when the application was never asked.
  [[nodiscard]] Authorization status(const std::string& app) const;
  // Whether an answer for `app` could be kept: the own application, one with an answer, or one
  // more while there is room.
  [[nodiscard]] bool keeps(const std::string& app) const;
  // Stores the user's answer (not determined forgets it, which makes room). Throws
  // `std::runtime_error` when the answer cannot be kept or the file cannot be written.
  void store(const std::string& app, Authorization answer);

 private:
  struct Identity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t modified = 0;
    std::int64_t size = 0;
    bool operator==(const Identity&) const = default;
  };
  [[nodiscard]] std::optional<Identity> identity() const;

  std::filesystem::path file_;
  std::string ownApp_;
  std::map<std::string, Authorization> answers_;
  std::optional<Identity> read_;
  bool everRead_ = false;
};

[[nodiscard]] std::filesystem::path notificationsFile(const std::filesystem::path& folder);

}  // namespace vx::desktop
