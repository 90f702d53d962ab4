#include "api/client.hpp"

#include <optional>

#include "model/url_parts.hpp"
#include "net/origin.hpp"

namespace vx::api {
namespace {

const char* describe(Client::FailureKind kind) {
  return kind == Client::FailureKind::signedOut ? "signed out" : "request failed";
}

// Step 1: the path resolved against the base as a relative reference (RFC 3986). Paths start
// with "/", so the result keeps the base's scheme, host and port and any path of the base is
// dropped. Nothing when no address results, or when the reference would leave the base's
// origin (a path starting with "//" names another host: the token must not go there).
std::optional<std::string> resolve(const std::string& base, std::string_view path) {
  const std::string reference(path);
  if (reference.find('\0') != std::string::npos) return std::nullopt;
  UrlHandle origin(base::curl::url());
  if (!origin || base::curl::url_set(origin.get(), CURLUPART_URL, base.c_str(), 0) != CURLUE_OK) {
    return std::nullopt;
  }
  UrlHandle resolved(base::curl::url_dup(origin.get()));
  if (!resolved ||
      base::curl::url_set(resolved.get(), CURLUPART_URL, reference.c_str(), 0) != CURLUE_OK) {
    return std::nullopt;
  }
  auto address = urlPart(resolved.get(), CURLUPART_URL);
  if (!address || !net::sameOrigin(base, *address)) return std::nullopt;
  return address;
}

// Steps 2 and 3: a GET with the bearer token as its one header of its own; the session's
// default no-progress time-out applies. Redirects are followed within the base's origin only:
// an answer from anywhere else (which could sign the user out or stand in for the service's
// data) fails the request as a transport error.
net::Request request(std::string address, const std::string& token) {
  net::Request built;
  built.method = "GET";
  built.url = std::move(address);
  built.headers = {{"Authorization", "Bearer " + token}};
  built.redirects = net::RedirectScope::sameOrigin;
  return built;
}

// Steps 5 and 6: a 200 answer; every other answer fails without its body being read.
net::Response accept(net::Response response) {
  if (response.status == 401) throw Client::Failure(Client::FailureKind::signedOut);
  if (response.status != 200) throw Client::Failure(Client::FailureKind::failed);
  return response;
}

}  // namespace

Client::Failure::Failure(FailureKind kind) : std::runtime_error(describe(kind)), kind_(kind) {}

Client::Client(std::string base, std::string token)
    : base_(std::move(base)), token_(std::move(token)) {}

std::future<net::Response> Client::fetch(std::string_view path) const {
  std::optional<std::string> address = resolve(base_, path);
  if (!address) {
    std::promise<net::Response> failed;
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
