#pragma once

// The origin of an address (scheme, host and port) and the rule that decides where a request
// may follow a redirect.

#include <optional>
#include <string>

namespace vx::net {

// How far a request may follow the redirects it is answered with.
enum class RedirectScope {
  // Only within the origin of the request: the same scheme, host and port.
  sameOrigin,
  // Within the origin, and to any https address elsewhere (never to plain http). Only for
  // requests that carry no credentials.
  sameOriginOrHttps,
};

struct Origin {
  std::string scheme;  // lower case
  std::string host;    // lower case
  std::string port;    // the scheme's default port when the address names none
  bool operator==(const Origin&) const = default;
};

// The origin of an absolute address as libcurl parses it; nothing when it is not one.
[[nodiscard]] std::optional<Origin> originOf(const std::string& address);

// Whether both addresses are absolute and share one origin.
[[nodiscard]] bool sameOrigin(const std::string& a, const std::string& b);

// Whether a request sent to `from` may go on to `to` within `scope`.
[[nodiscard]] bool mayFollow(RedirectScope scope, const std::string& from, const std::string& to);

}  // namespace vx::net
