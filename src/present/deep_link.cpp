#include "present/deep_link.hpp"

#include <curl/curl.h>

#include <memory>

namespace vx::present {

namespace {

struct UrlRelease {
  void operator()(CURLU* u) const { curl_url_cleanup(u); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlRelease>;

struct TextRelease {
  void operator()(char* p) const { curl_free(p); }
};
using CurlText = std::unique_ptr<char, TextRelease>;

// One part of a parsed URL as written; nothing when the URL has no such part.
std::optional<std::string> part(CURLU* url, CURLUPart which) {
  char* raw = nullptr;
  if (curl_url_get(url, which, &raw, 0) != CURLUE_OK || raw == nullptr) return std::nullopt;
  return std::string(CurlText(raw).get());
}

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// RFC 3986 "pchar" less the percent escape: unreserved, sub-delims, ":" and "@".
bool isPathCharacter(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("-._~!$&'()*+,;=:@").find(c) != std::string_view::npos;
}

// libcurl splits the URL but lets through what RFC 3986 does not allow inside a part (bad
// percent escapes, quotes, braces, non-ASCII bytes): each part is held to its character set.
bool validPart(std::string_view text, std::string_view extra) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%') {
      if (i + 2 >= text.size() || !isHexDigit(text[i + 1]) || !isHexDigit(text[i + 2])) {
        return false;
      }
      i += 2;
    } else if (!isPathCharacter(c) && extra.find(c) == std::string_view::npos) {
      return false;
    }
  }
  return true;
}

bool validDeepLink(const std::string& candidate) {
  // libcurl reads a C string: an embedded NUL would hide the rest from it.
  if (candidate.find('\0') != std::string::npos) return false;
  UrlHandle url(curl_url());
  if (!url || curl_url_set(url.get(), CURLUPART_URL, candidate.c_str(), CURLU_NON_SUPPORT_SCHEME) !=
                  CURLUE_OK) {
    return false;
  }
  if (part(url.get(), CURLUPART_SCHEME) != "vantorix" ||
      part(url.get(), CURLUPART_HOST) != "open" || part(url.get(), CURLUPART_USER) ||
      part(url.get(), CURLUPART_PASSWORD) || part(url.get(), CURLUPART_OPTIONS) ||
      part(url.get(), CURLUPART_PORT)) {
    return false;
  }
  return validPart(part(url.get(), CURLUPART_PATH).value_or(""), "/") &&
         validPart(part(url.get(), CURLUPART_QUERY).value_or(""), "/?") &&
         validPart(part(url.get(), CURLUPART_FRAGMENT).value_or(""), "/?");
}

}  // namespace

std::optional<std::string> deepLink(std::string_view path) {
  std::string link(kDeepLinkBase);
  link += path;
  if (!validDeepLink(link)) return std::nullopt;
  return link;
}

std::optional<std::string> projectLink(std::string_view slug) {
  return deepLink("/app/projects/" + std::string(slug));
}

std::optional<std::string> projectGoalsLink(std::string_view slug) {
  return deepLink("/app/projects/" + std::string(slug) +
                  "/analytics?project-settings=analytics.goals");
}

}  // namespace vx::present
