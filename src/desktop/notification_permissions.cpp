#include "desktop/notification_permissions.hpp"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "store/atomic_write.hpp"

namespace vx::desktop {
namespace {

nlohmann::json readAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return nlohmann::json::object();
  std::ostringstream text;
  text << in.rdbuf();
  nlohmann::json document = nlohmann::json::parse(text.str(), nullptr, false);
  return document.is_object() ? document : nlohmann::json::object();
}

}  // namespace

Authorization NotificationPermissions::status(const std::string& app) const {
  const nlohmann::json document = readAll(file_);
  const auto found = document.find(app);
  if (found == document.end() || !found->is_number_integer()) return Authorization::notDetermined;
  const auto raw = found->get<std::int64_t>();
  if (raw == 1) return Authorization::denied;
  if (raw == 2) return Authorization::authorized;
  return Authorization::notDetermined;
}

void NotificationPermissions::store(const std::string& app, Authorization answer) const {
  nlohmann::json document = readAll(file_);
  document[app] = static_cast<std::int64_t>(answer);
  std::error_code ignored;
  std::filesystem::create_directories(file_.parent_path(), ignored);
  if (auto failure = store::writeAtomically(file_, document.dump(2) + "\n", 0600)) {
    throw std::runtime_error(failure->description());
  }
}

std::filesystem::path notificationsFile(const std::filesystem::path& folder) {
  return folder / "notifications.json";
}

}  // namespace vx::desktop
