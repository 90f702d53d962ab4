#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/shared_session.hpp"
#include "net/http_session.hpp"

// The two requests of the service's push-token endpoint: reporting a token and withdrawing it.
namespace vx::push {

inline constexpr std::string_view kPushTokenPath = "/v1/widgets/push-token";
inline constexpr double kRequestTimeoutSeconds = 15;

// Reports a push token (lowercase hex) for the session's account.
struct Report {
  std::string token;
};

// Withdraws a push token (lowercase hex) that was reported before.
struct Remove {
  std::string token;
};

// The request as it goes out, addressed against the session's validated base; nothing when the
// session has no acceptable base or the address cannot be formed.
[[nodiscard]] std::optional<net::Request> request(const Report& report,
                                                  const SharedSession& session);
[[nodiscard]] std::optional<net::Request> request(const Remove& remove,
                                                  const SharedSession& session);

// Sends the request and waits for the answer. True only for a status of 200 to 299; any other
// status, a transport failure or no request at all is false. The answer's body is not read.
[[nodiscard]] bool send(const Report& report, const SharedSession& session);
[[nodiscard]] bool send(const Remove& remove, const SharedSession& session);

}  // namespace vx::push
