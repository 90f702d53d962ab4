#include "api/client.hpp"

#include <optional>

#include "model/url_parts.hpp"
#include "net/http_session.hpp"

namespace vx::api {
namespace {

const char* describe(Client::FailureKind kind) {
  return kind == Client::FailureKind::signedOut ? "signed out" : "request failed";
}

// Whether both addresses name the same scheme, host and port.
bool sameOrigin(CURLU* a, CURLU* b) {
  return urlPart(a, CURLUPART_SCHEME) == urlPart(b, CURLUPART_SCHEME) &&
         urlPart(a, CURLUPART_HOST) == urlPart(b, CURLUPART_HOST) &&
         urlPart(a, CURLUPART_PORT, CURLU_DEFAULT_PORT) ==
             urlPart(b, CURLUPART_PORT, CURLU_DEFAULT_PORT);
}

// Step 1: the path resolved against the base as a relative reference (RFC 3986). Paths start
// with "/", so the result keeps the base's scheme, host and port and any path of the base is
// dropped. Nothing when no address results, or when the reference would leave the base's
// origin (a path starting with "//" names another host: the token must not go there).
std::optional<std::string> resolve(const std::string& base, std::string_view path) {
  const std::string reference(path);
  if (reference.find('\0') != std::string::npos) return std::nullopt;
  UrlHandle origin(curl_url());
  if (!origin || curl_url_set(origin.get(), CURLUPART_URL, base.c_str(), 0) != CURLUE_OK) {
    return std::nullopt;
  }
  UrlHandle resolved(curl_url_dup(origin.get()));
  if (!resolved || curl_url_set(resolved.get(), CURLUPART_URL, reference.c_str(), 0) != CURLUE_OK ||
      !sameOrigin(origin.get(), resolved.get())) {
    return std::nullopt;
  }
  return urlPart(resolved.get(), CURLUPART_URL);
}

// Steps 2 and 3: a GET with the bearer token as its one header of its own; the session's
// default no-progress time-out applies.
net::Request request(std::string address, const std::string& token) {
  net::Request built;
  built.method = "GET";
  built.url = std::move(address);
  built.headers = {{"Authorization", "Bearer " + token}};
  return built;
}

// Steps 5 and 6: the body of a 200 answer; every other answer fails without its body being read.
std::string accept(net::Response response) {
  if (response.status == 401) throw Client::Failure(Client::FailureKind::signedOut);
  if (response.status != 200) throw Client::Failure(Client::FailureKind::failed);
  return std::move(response.body);
}

}  // namespace

Client::Failure::Failure(FailureKind kind) : std::runtime_error(describe(kind)), kind_(kind) {}

Client::Client(std::string base, std::string token)
    : base_(std::move(base)), token_(std::move(token)) {}

std::future<std::string> Client::fetch(std::string_view path) const {
  std::optional<std::string> address = resolve(base_, path);
  if (!address) {
    std::promise<std::string> failed;
    failed.set_exception(std::make_exception_ptr(Failure(FailureKind::failed)));
    return failed.get_future();
  }
  // Step 4: sent at once through the shared session; transport errors surface from get().
  std::future<net::Response> response =
      net::HttpSession::shared().send(request(std::move(*address), token_));
  return std::async(std::launch::deferred,
                    [response = std::move(response)]() mutable { return accept(response.get()); });
}

}  // namespace vx::api
