#include "desktop/host_requests.hpp"

#include <nlohmann/json.hpp>

#include "model/json_fields.hpp"

namespace vx::desktop {

std::optional<std::string> HostRequests::answer(const std::string& line) const {
  std::string name;
  std::string application;
  try {
    const nlohmann::json request = fields::parse(line);
    name = fields::root(request).member("type").text();
    application = fields::root(request).member("app").text();
  } catch (const fields::DecodeError&) {
    return std::nullopt;  // not a request
  }
  if (application.empty()) return std::nullopt;
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
