#include "refresh/favicon.hpp"

#include <chrono>
#include <exception>
#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include "model/clock.hpp"
#include "model/url_parts.hpp"
#include "net/http_session.hpp"
#include "store/atomic_write.hpp"
#include "store/file_io.hpp"
#include "store/shared_store.hpp"

namespace vx::refresh {
namespace {

namespace fs = std::filesystem;

// An icon this young (one week, in seconds) is used without asking the service.
constexpr double kFreshSeconds = 604800;
// Icons may come from a slow image service; give the download more patience than API calls.
constexpr double kDownloadTimeoutSeconds = 60;
// Icons are the user's data like every other file in the shared folder.
constexpr mode_t kIconMode = 0600;

constexpr std::string_view kFaviconPath = "/v1/favicons/";

using Name = std::optional<std::string>;

std::future<Name> ready(Name name) {
  std::promise<Name> promise;
  promise.set_value(std::move(name));
  return promise.get_future();
}

// "favicon-<slug>.png", or nothing when the slug could step out of the folder or cut the name.
Name iconFileName(const std::string& slug) {
  if (slug.empty() || slug == "." || slug == "..") return std::nullopt;
  if (slug.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos) return std::nullopt;
  return "favicon-" + slug + ".png";
}

// Whether the icon was last modified less than a week ago (or in the future). One whose
// modification date cannot be read is not fresh, nor is a symbolic link in its place (planted
// while the folder was open to others, it would be judged by whatever it points at): the
// download replaces it.
bool isFresh(const fs::path& file) {
  const auto modified = store::regularFileModified(file);
  if (!modified) return false;
  const double age =
      clock::secondsBetween(std::chrono::time_point_cast<Time::duration>(*modified), clock::now());
  return age < kFreshSeconds;
}

// An icon of any age is better than none; a link or anything else but a file is no icon.
Name fallback(const fs::path& file, const std::string& name) {
  if (store::regularFileModified(file)) return name;
  return std::nullopt;
}

// The stored icon's name once the download answered 200 and the body is on disk; otherwise
// the fallback.
Name stored(std::future<net::Response>& download, const fs::path& file, const std::string& name) {
  try {
    const net::Response response = download.get();
    if (response.status == 200 && !store::writeAtomically(file, response.body, kIconMode)) {
      return name;
    }
  } catch (const std::exception&) {
    // No connection, a time-out or the session shutting down: keep what we have.
  }
  return fallback(file, name);
}

void removeAll(std::string& text, std::string_view piece) {
  for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at)) {
    text.erase(at, piece.size());
  }
}

bool namesASite(const std::string& host) {
  return !host.empty() && host != "." && host != ".." && host.find('/') == std::string::npos;
}

}  // namespace

std::string faviconHost(const std::string& domain) {
  std::string rest = domain;
  removeAll(rest, "https://");
  removeAll(rest, "http://");
  const auto start = rest.find_first_not_of('/');
  if (start == std::string::npos) return domain;
  const auto end = rest.find('/', start);
  return rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::optional<std::string> faviconAddress(const std::string& host, const std::string& base) {
  if (!namesASite(host)) return std::nullopt;
  UrlHandle url(base::curl::url());
  if (!url) return std::nullopt;
  const std::string path = std::string(kFaviconPath) + host;
  // The path replaces whatever path, query and fragment the base had; encoding leaves only
  // the slashes of the fixed prefix as path separators.
  if (base::curl::url_set(url.get(), CURLUPART_URL, base.c_str(), 0) != CURLUE_OK ||
      base::curl::url_set(url.get(), CURLUPART_PATH, path.c_str(), CURLU_URLENCODE) != CURLUE_OK ||
      base::curl::url_set(url.get(), CURLUPART_QUERY, nullptr, 0) != CURLUE_OK ||
      base::curl::url_set(url.get(), CURLUPART_FRAGMENT, nullptr, 0) != CURLUE_OK) {
    return std::nullopt;
  }
  return urlPart(url.get(), CURLUPART_URL);
}

std::future<Name> startFavicon(const api::Project& project, const std::string& base) {
  const auto folder = SharedStore::folder();
  if (!folder) return ready(std::nullopt);
  const Name name = iconFileName(project.slug);
  if (!name) return ready(std::nullopt);
  const fs::path file = *folder / *name;
  if (isFresh(file)) return ready(name);

  const auto address = faviconAddress(faviconHost(project.domain), base);
  if (!address) return ready(fallback(file, *name));
  // A plain GET: no token and no headers of ours; the icon endpoint is public. The service may
  // send it on to an image host elsewhere, over https only.
  net::Request request;
  request.url = *address;
  request.noProgressTimeoutSeconds = kDownloadTimeoutSeconds;
  request.redirects = net::RedirectScope::sameOriginOrHttps;
  std::future<net::Response> download;
  try {
    download = net::HttpSession::shared().send(std::move(request));
  } catch (const std::exception&) {
    return ready(fallback(file, *name));
  }
  return std::async(std::launch::deferred, [download = std::move(download), file, name]() mutable {
    return stored(download, file, *name);
  });
}

std::optional<std::string> favicon(const api::Project& project, const std::string& base) {
  return startFavicon(project, base).get();
}

}  // namespace vx::refresh
