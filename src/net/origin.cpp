#include "net/origin.hpp"

#include <algorithm>
#include <cctype>

#include "net/curl_handles.hpp"

namespace vx::net {
namespace {

std::optional<std::string> part(CURLU* url, CURLUPart which, unsigned int flags = 0) {
  char* raw = nullptr;
  if (base::curl::url_get(url, which, &raw, flags) != CURLUE_OK || raw == nullptr)
    return std::nullopt;
  return std::string(CurlText(raw).get());
}

// Host names and schemes compare without regard to case.
std::string lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::optional<Origin> originOf(const std::string& address) {
  UrlHandle url(base::curl::url());
  if (!url || base::curl::url_set(url.get(), CURLUPART_URL, address.c_str(), 0) != CURLUE_OK) {
    return std::nullopt;
  }
  auto scheme = part(url.get(), CURLUPART_SCHEME);
  auto host = part(url.get(), CURLUPART_HOST);
  auto port = part(url.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
  if (!scheme || !host || !port) return std::nullopt;
  return Origin{lowered(std::move(*scheme)), lowered(std::move(*host)), std::move(*port)};
}

bool sameOrigin(const std::string& a, const std::string& b) {
  const auto first = originOf(a);
  return first && first == originOf(b);
}

bool mayFollow(RedirectScope scope, const std::string& from, const std::string& to) {
  const auto start = originOf(from);
  const auto next = originOf(to);
  if (!start || !next) return false;
  if (*start == *next) return true;
  return scope == RedirectScope::sameOriginOrHttps && next->scheme == "https";
}

}  // namespace vx::net
