#include <nlohmann/json.hpp>

#include "model/json_fields.hpp"
#include "store/shared_store.hpp"

namespace vx::SharedStore {

std::optional<std::string> encodePushRegistration(const PushRegistration& registration) {
  nlohmann::json object = {{"token", registration.token}};
  if (registration.reportedWith) object["reportedWith"] = *registration.reportedWith;
  try {
    return object.dump();
  } catch (const nlohmann::json::type_error&) {
    // Not valid UTF-8: there is no JSON form to write.
    return std::nullopt;
  }
}

std::optional<PushRegistration> decodePushRegistration(std::string_view document) {
  try {
    auto parsed = fields::parse(document);
    auto root = fields::root(parsed);
    root.requireObject();
    return PushRegistration{root.member("token").text(),
                            root.member("reportedWith").optionalText()};
  } catch (const fields::DecodeError&) {
    return std::nullopt;
  }
}

}  // namespace vx::SharedStore
