#include "desktop/host_requests.hpp"

#include <nlohmann/json.hpp>

namespace vx::desktop {

std::optional<std::string> HostRequests::answer(const std::string& line) const {
  const nlohmann::json request = nlohmann::json::parse(line, nullptr, false);
  if (!request.is_object()) return std::nullopt;
  const auto type = request.find("type");
  const auto app = request.find("app");
  if (type == request.end() || !type->is_string() || app == request.end() || !app->is_string() ||
      app->get_ref<const std::string&>().empty()) {
    return std::nullopt;
  }
  const std::string& name = type->get_ref<const std::string&>();
  const std::string& application = app->get_ref<const std::string&>();
  if (name == "reloadAllTimelines") {
    if (reload) reload(application);
    return std::string();
  }
  if (name == "notificationSettings") {
    return nlohmann::json{
        {"authorizationStatus", static_cast<std::int64_t>(permissions->status(application))}}
        .dump();
  }
  if (name == "requestAuthorization") {
    // Asked once: an answer the user gave stays.
    Authorization status = permissions->status(application);
    if (status == Authorization::notDetermined && unattendedAnswer) {
      try {
        permissions->store(application, *unattendedAnswer);
        status = *unattendedAnswer;
      } catch (const std::exception&) {
        // Not stored: the application stays undecided and may ask again.
      }
    } else if (status == Authorization::notDetermined && askUser) {
      askUser(application);
    }
    return nlohmann::json{{"granted", status == Authorization::authorized}}.dump();
  }
  return std::nullopt;
}

}  // namespace vx::desktop
