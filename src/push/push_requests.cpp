#include "push/push_requests.hpp"

#include <exception>

#include <nlohmann/json.hpp>

#include "model/url_parts.hpp"
#include "push/push_values.hpp"

namespace vx::push {
namespace {

constexpr std::string_view kPlatform = "macos";

// `path` (absolute, starting with "/") resolved against `base`: the base's scheme, host and port
// with the path in place of whatever path, query and fragment the base had.
std::optional<std::string> resolve(const std::string& base, const std::string& path) {
  UrlHandle url(base::curl::url());
  if (!url) return std::nullopt;
  if (base::curl::url_set(url.get(), CURLUPART_URL, base.c_str(), 0) != CURLUE_OK)
    return std::nullopt;
  if (base::curl::url_set(url.get(), CURLUPART_URL, path.c_str(), 0) != CURLUE_OK)
    return std::nullopt;
  return urlPart(url.get(), CURLUPART_URL);
}

// Steps 1 and 2 of both requests: the validated base, then the address of `path` on it.
std::optional<net::Request> addressed(const SharedSession& session, const std::string& path) {
  auto base = session.baseURL();
  if (!base) return std::nullopt;
  auto url = resolve(*base, path);
  if (!url) return std::nullopt;
  net::Request request;
  request.url = std::move(*url);
  request.headers.emplace_back("Authorization", "Bearer " + session.token);
  request.noProgressTimeoutSeconds = kRequestTimeoutSeconds;
  return request;
}

// The report's body. A bundle identifier that is not valid UTF-8 cannot be written as JSON;
// the report then goes out without a body rather than not at all.
std::string reportBody(const std::string& token) {
  nlohmann::json body = {
      {"token", token},
      {"platform", kPlatform},
      {"environment", environment()},
      {"app_id", appID()},
  };
  try {
    return body.dump();
  } catch (const nlohmann::json::exception&) {
    return {};
  }
}

// Step 3: sends and maps the outcome to success or failure.
bool deliver(std::optional<net::Request> request) {
  if (!request) return false;
  try {
    auto response = net::HttpSession::shared().send(std::move(*request)).get();
    return response.status >= 200 && response.status <= 299;
  } catch (const std::exception&) {
    // A transport failure (no connection, time-out) or the session shutting down.
    return false;
  }
}

}  // namespace

std::optional<net::Request> request(const Report& report, const SharedSession& session) {
  auto request = addressed(session, std::string(kPushTokenPath));
  if (!request) return std::nullopt;
  request->method = "POST";
  request->headers.emplace_back("Content-Type", "application/json");
  request->body = reportBody(report.token);
  return request;
}

std::optional<net::Request> request(const Remove& remove, const SharedSession& session) {
  // The token is hexadecimal digits only, so it is appended to the path as it is.
  auto request = addressed(session, std::string(kPushTokenPath) + "/" + remove.token);
  if (!request) return std::nullopt;
  request->method = "DELETE";
  return request;
}

bool send(const Report& report, const SharedSession& session) {
  return deliver(request(report, session));
}

bool send(const Remove& remove, const SharedSession& session) {
  return deliver(request(remove, session));
}

}  // namespace vx::push
