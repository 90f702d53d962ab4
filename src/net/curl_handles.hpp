#pragma once

// Owners for libcurl's handles and the texts it hands out: each is released on every path out
// of the code that made it. Internal to the session.

#include "base/curl_library.hpp"

#include <string>

#include "base/owned.hpp"

namespace vx::net {

using MultiHandle = base::Owned<CURLM, base::curl::multi_cleanup>;
using EasyHandle = base::Owned<CURL, base::curl::easy_cleanup>;
using TextList = base::Owned<curl_slist, base::curl::slist_free_all>;
using UrlHandle = base::Owned<CURLU, base::curl::url_cleanup>;
using CurlText = base::Owned<char, base::curl::free>;

// Adds `text` at the end of `list`; false (the list as it was) when curl has no memory for it.
[[nodiscard]] inline bool append(TextList& list, const std::string& text) {
  curl_slist* longer = base::curl::slist_append(list.get(), text.c_str());
  if (longer == nullptr) return false;
  (void)list.release();  // the same list, now one entry longer (or a new one)
  list.reset(longer);
  return true;
}

}  // namespace vx::net
