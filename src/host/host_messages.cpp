#include "host/host_messages.hpp"

#include <nlohmann/json.hpp>

namespace vx::host::messages {
namespace {

std::string asLine(const nlohmann::json& message) {
  // Non-ASCII text goes out as UTF-8; an invalid sequence is replaced rather than thrown on.
  return message.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace

std::string reloadAllTimelines(std::string_view app) {
  return asLine({{"type", "reloadAllTimelines"}, {"app", app}});
}

std::string notificationSettings(std::string_view app) {
  return asLine({{"type", "notificationSettings"}, {"app", app}});
}

std::string requestAuthorization(std::string_view app, int options) {
  return asLine({{"type", "requestAuthorization"}, {"app", app}, {"options", options}});
}

std::optional<std::int64_t> authorizationStatus(std::string_view answer) {
  const auto document = nlohmann::json::parse(answer, nullptr, /*allow_exceptions=*/false);
  if (!document.is_object()) return std::nullopt;
  const auto member = document.find("authorizationStatus");
  if (member == document.end()) return std::nullopt;
  if (member->is_number_unsigned()) {
    // Too large for the signed range: no status the mapping knows, but still a number.
    const auto value = member->get<std::uint64_t>();
    if (value > static_cast<std::uint64_t>(INT64_MAX)) return INT64_MAX;
    return static_cast<std::int64_t>(value);
  }
  if (!member->is_number_integer()) return std::nullopt;
  return member->get<std::int64_t>();
}

}  // namespace vx::host::messages
