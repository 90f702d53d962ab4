#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vx {

// The signed-in session handed over by the desktop application: the service's base address and
// the bearer token. The token is a secret of the user and is never printed.
struct SharedSession {
  std::string api;
  std::string token;

  // The service base to send requests to, as normalised absolute address text; nothing when
  // `api` is not one the token may be sent to. Accepted are "https" with the product's API host
  // (any port) and "http" with the host "localhost" (any port). Scheme and host must match
  // exactly, as written: "HTTPS://..." and "LOCALHOST" are refused.
  [[nodiscard]] std::optional<std::string> baseURL() const;

  bool operator==(const SharedSession&) const = default;
};

// Reads a "session.json" document: an object with the string members "api" and "token" (other
// members are ignored). Nothing when the document is anything else.
[[nodiscard]] std::optional<SharedSession> decodeSharedSession(std::string_view document);

}  // namespace vx
