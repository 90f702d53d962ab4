#include "widgets/serve_request.hpp"

#include <exception>

#include "model/json_fields.hpp"

namespace vx::widgets::driver {

bool blankLine(std::string_view line) {
  return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

RequestLine readRequest(std::string_view line) {
  RequestLine read;
  try {
    nlohmann::json request = fields::parse(line);
    fields::root(request).requireObject();
    read.request = std::move(request);
  } catch (const std::exception& error) {
    const nlohmann::ordered_json reply = {{"id", nullptr}, {"error", error.what()}};
    read.refusal = reply.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  }
  return read;
}

Lane laneOf(const nlohmann::json& request) {
  const auto op = request.find("op");
  if (op == request.end() || !op->is_string()) return Lane::local;  // answered with an error
  const auto& name = op->get_ref<const std::string&>();
  if (name == "pushTokenDidChange") return Lane::reading;
  // Without a cached snapshot the project choices come from a refresh.
  if (name == "timeline" || name == "projects" || name == "entities") return Lane::network;
  // Drawing the first entry of a fresh timeline waits for the refresh engine too.
  if (name == "render") {
    const auto entry = request.find("entry");
    const auto flag = [&](const char* member) {
      const auto found = request.find(member);
      return found != request.end() && found->is_boolean() && found->get<bool>();
    };
    const bool local =
        (entry != request.end() && !entry->is_null()) || flag("preview") || flag("placeholder");
    return local ? Lane::local : Lane::network;
  }
  return Lane::local;
}

}  // namespace vx::widgets::driver
