#include "desktop/notification_permissions.hpp"

#include <stdexcept>

#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "desktop/private_folder.hpp"
#include "store/atomic_write.hpp"
#include "store/file_io.hpp"

namespace vx::desktop {
namespace {

std::map<std::string, Authorization> answersIn(const std::optional<std::string>& text) {
  std::map<std::string, Authorization> answers;
  if (!text) return answers;
  const nlohmann::json document = nlohmann::json::parse(*text, nullptr, false);
  if (!document.is_object()) return answers;
  for (const auto& [app, value] : document.items()) {
    if (!value.is_number_integer()) continue;
    const auto raw = value.get<std::int64_t>();
    if (raw == 1) answers[app] = Authorization::denied;
    if (raw == 2) answers[app] = Authorization::authorized;
  }
  return answers;
}

}  // namespace

NotificationPermissions::NotificationPermissions(std::filesystem::path file, std::string ownApp)
    : file_(std::move(file)), ownApp_(std::move(ownApp)) {}

std::optional<NotificationPermissions::Identity> NotificationPermissions::identity() const {
  struct stat status {};
  if (::lstat(file_.c_str(), &status) != 0) return std::nullopt;
  return Identity{
      static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
      static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec,
      static_cast<std::int64_t>(status.st_size)};
}

void NotificationPermissions::follow() {
  const auto now = identity();
  if (everRead_ && now == read_) return;
  answers_ = answersIn(store::readWholeFile(file_));
  read_ = now;
  everRead_ = true;
}

Authorization NotificationPermissions::status(const std::string& app) const {
  const auto found = answers_.find(app);
  return found == answers_.end() ? Authorization::notDetermined : found->second;
}

bool NotificationPermissions::keeps(const std::string& app) const {
  if (app.empty() || app.size() > kLongestName) return false;
  if (app == ownApp_ || answers_.contains(app)) return true;
  const std::size_t others = answers_.size() - (answers_.contains(ownApp_) ? 1 : 0);
  return others < kOtherApplications;
}

void NotificationPermissions::store(const std::string& app, Authorization answer) {
  follow();
  std::map<std::string, Authorization> answers = answers_;
  if (answer == Authorization::notDetermined) {
    answers.erase(app);
  } else if (!keeps(app)) {
    throw std::runtime_error("answers are kept for " + std::to_string(kOtherApplications) +
                             " applications besides " + ownApp_ +
                             " at most: answer ask for one of them to make room");
  } else {
    answers[app] = answer;
  }
  nlohmann::json document = nlohmann::json::object();
  for (const auto& [name, status] : answers) document[name] = static_cast<std::int64_t>(status);
  makePrivateFolder(file_.parent_path());
  if (auto failure = store::writeAtomically(file_, document.dump(2) + "\n", 0600)) {
    throw std::runtime_error(failure->description());
  }
  answers_ = std::move(answers);
  read_ = identity();
}

std::filesystem::path notificationsFile(const std::filesystem::path& folder) {
  return folder / "notifications.json";
}

}  // namespace vx::desktop
