#pragma once

// Owners for libcurl's handles and the texts it hands out: each is released on every path out
// of the code that made it. Internal to the session.

#include <curl/curl.h>

#include <string>

#include "base/owned.hpp"

namespace vx::net {

using MultiHandle = base::Owned<CURLM, curl_multi_cleanup>;
using EasyHandle = base::Owned<CURL, curl_easy_cleanup>;
using TextList = base::Owned<curl_slist, curl_slist_free_all>;
using UrlHandle = base::Owned<CURLU, curl_url_cleanup>;
using CurlText = base::Owned<char, curl_free>;

// Adds `text` at the end of `list`; false (the list as it was) when curl has no memory for it.
[[nodiscard]] inline bool append(TextList& list, const std::string& text) {
  curl_slist* longer = curl_slist_append(list.get(), text.c_str());
  if (longer == nullptr) return false;
  (void)list.release();  // the same list, now one entry longer (or a new one)
  list.reset(longer);
  return true;
}

}  // namespace vx::net
