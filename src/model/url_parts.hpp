#pragma once

// Owners for libcurl's URL handle and the texts it hands out, and one part of a parsed address
// read through them: each is released on every path out of the code that made it.

#include "base/curl_library.hpp"

#include <memory>
#include <optional>
#include <string>

namespace vx {

struct UrlRelease {
  void operator()(CURLU* url) const { base::curl::url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlRelease>;

struct UrlTextRelease {
  void operator()(char* text) const { base::curl::free(text); }
};
using UrlText = std::unique_ptr<char, UrlTextRelease>;

// One part of a parsed address as libcurl reports it; nothing when the address has no such part.
inline std::optional<std::string> urlPart(CURLU* url, CURLUPart which, unsigned int flags = 0) {
  char* raw = nullptr;
  if (base::curl::url_get(url, which, &raw, flags) != CURLUE_OK || raw == nullptr)
    return std::nullopt;
  return std::string(UrlText(raw).get());
}

}  // namespace vx
