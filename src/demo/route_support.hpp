#pragma once

// Helpers shared by the endpoint files. Includes the HTTP server and JSON headers: only for
// the service's own .cpp files.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include <httplib.h>
#include <nlohmann/json_fwd.hpp>

#include "demo/context.hpp"

namespace vx::demo {

void sendJson(httplib::Response& res, int status, const nlohmann::json& body);
void sendError(httplib::Response& res, int status, const std::string& message);

// A query parameter (percent-decoded); nothing when the query lacks it.
[[nodiscard]] std::optional<std::string> param(const httplib::Request& req, const char* name);

// The project of the account with this slug (or uuid), and its place in the account.
struct Found {
  const Profile* profile = nullptr;
  std::size_t index = 0;
};
[[nodiscard]] Found projectBySlug(const Context& context, const std::string& slug);
[[nodiscard]] Found projectByUuid(const Context& context, const std::string& uuid);

using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

// Wraps an endpoint so that an answer matching --stall sends half its body, then stalls, and
// one matching --drip sends its body a byte at a time.
[[nodiscard]] Handler withBodyFaults(Context& context, Handler handler);

}  // namespace vx::demo
