#pragma once

#include <future>
#include <optional>
#include <string>

#include "api/records.hpp"

namespace vx::refresh {

// The project's site icon as the name of a file in the shared folder ("favicon-<slug>.png"),
// or nothing. An icon younger than a week is used as it is; an older or missing one is fetched
// from the service's favicon endpoint on `base` (without credentials) and stored, and when that
// fails an icon of any age stays in use. Never fails.
//
// A project whose slug could not form a plain file name (empty, "." or "..", or holding "/",
// "\" or a NUL character) gets no icon, so no path outside the shared folder is ever touched.
[[nodiscard]] std::optional<std::string> favicon(const api::Project& project,
                                                 const std::string& base);

// The same, started at once: the file checks happen now and the download is in flight when
// this returns; get() waits for it and stores the icon. The future never throws.
[[nodiscard]] std::future<std::optional<std::string>> startFavicon(const api::Project& project,
                                                                   const std::string& base);

// The site's host as the favicon endpoint wants it: `domain` without "https://" and "http://",
// up to its first "/"; `domain` unchanged when nothing is left.
[[nodiscard]] std::string faviconHost(const std::string& domain);

// "/v1/favicons/<host>" on `base` (its scheme, host and port). Characters of the host that are
// not plain URL characters are percent-encoded, so a host cannot add a query, a fragment or a
// path segment. Nothing when `base` is not an absolute address or the host is empty, "." or
// "..", or holds a "/" (none of which names a site).
[[nodiscard]] std::optional<std::string> faviconAddress(const std::string& host,
                                                        const std::string& base);

}  // namespace vx::refresh
