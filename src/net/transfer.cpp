#include "net/transfer.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "net/origin.hpp"

namespace vx::net {
namespace {

bool isHttps(const std::string& url) {
  return url.size() >= 8 && std::equal(url.begin(), url.begin() + 8, "https://",
                                       [](char a, char b) { return std::tolower(a) == b; });
}

// Hosts reached without a proxy: the loopback interface always, and whatever the user exempts
// (no_proxy or NO_PROXY, as curl itself reads them). Read once per process.
const std::string& noProxyList() {
  static const std::string list = [] {
    std::string hosts = "localhost,127.0.0.1,::1";
    const char* own = std::getenv("no_proxy");
    if (own == nullptr || *own == '\0') own = std::getenv("NO_PROXY");
    if (own == nullptr || *own == '\0') return hosts;
    if (std::string_view(own) == "*") return std::string("*");
    return hosts + "," + own;
  }();
  return list;
}

}  // namespace

Transfer::~Transfer() {
  if (budget_) budget_->giveBack(taken_);
}

bool Transfer::prepare(const Request& request, const HttpSession::Options& options,
                       std::shared_ptr<BodyBudget> budget) {
  if (!easy_) return false;
  maxBodyBytes_ = options.maxBodyBytes;
  budget_ = std::move(budget);
  url_ = request.url;
  redirects_ = request.redirects;
  bool ok = true;
  auto set = [&](CURLoption option, auto value) {
    ok = ok && base::curl::easy_setopt(easy_.get(), option, value) == CURLE_OK;
  };

  set(CURLOPT_URL, request.url.c_str());
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_ERRORBUFFER, errorText_);
  set(CURLOPT_WRITEFUNCTION, &Transfer::receive);
  set(CURLOPT_WRITEDATA, this);
  set(CURLOPT_ACCEPT_ENCODING, "");  // whatever curl can decode
  set(CURLOPT_TCP_KEEPALIVE, 1L);
  // The loopback interface never goes through a proxy, whatever the environment says.
  set(CURLOPT_NOPROXY, noProxyList().c_str());

  // Redirects are followed within the request's scope. From https, curl itself refuses to go
  // on to plain http, before connecting. Every request curl is about to send, the first and
  // each redirected one, must pass beforeRequest() once connected: a request to an address
  // outside the scope fails the transfer without anything sent there. Where the scope allows
  // another origin, curl drops the custom Authorization header on the way (unrestricted auth
  // stays off).
  set(CURLOPT_FOLLOWLOCATION, 1L);
  set(CURLOPT_MAXREDIRS, 16L);
  set(CURLOPT_REDIR_PROTOCOLS_STR, isHttps(request.url) ? "https" : "http,https");
  set(CURLOPT_PREREQFUNCTION, &Transfer::beforeRequest);
  set(CURLOPT_PREREQDATA, this);
  set(CURLOPT_UNRESTRICTED_AUTH, 0L);

  // "No progress for this long" fails the request. curl bounds the connection phase and
  // aborts when the speed stays under one byte a second for the period; but curl averages the
  // speed over several seconds, so a transfer that stalls right after a burst would only be
  // noticed seconds late. The session therefore also watches the time since the last byte in
  // either direction (stalled()).
  const double timeout = options.noProgressTimeoutSeconds;
  noProgressTimeout_ = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(timeout));
  set(CURLOPT_HEADERFUNCTION, &Transfer::receiveHeader);
  set(CURLOPT_HEADERDATA, this);
  set(CURLOPT_NOPROGRESS, 0L);
  set(CURLOPT_XFERINFOFUNCTION, &Transfer::progress);
  set(CURLOPT_XFERINFODATA, this);
  set(CURLOPT_LOW_SPEED_LIMIT, 1L);
  set(CURLOPT_LOW_SPEED_TIME, std::max(1L, static_cast<long>(std::ceil(timeout))));
  set(CURLOPT_CONNECTTIMEOUT_MS, std::max(1L, static_cast<long>(std::ceil(timeout * 1000))));

  // Refused up front when the server announces the length; receive() catches the rest.
  set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBodyBytes_));

  // Over TLS, wait for a connection that may multiplex (HTTP/2) rather than open another.
  if (isHttps(request.url)) set(CURLOPT_PIPEWAIT, 1L);

  // The peer's certificate and its name are always checked, whatever the options say, and no
  // protocol older than TLS 1.2 is offered, whatever the system's TLS library would allow.
  set(CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
  set(CURLOPT_SSL_VERIFYPEER, 1L);
  set(CURLOPT_SSL_VERIFYHOST, 2L);
  if (!options.caFile.empty()) {
    set(CURLOPT_CAINFO, options.caFile.c_str());
    set(CURLOPT_CAPATH, static_cast<const char*>(nullptr));  // the file alone is trusted
  }
  for (const std::string& entry : options.resolve) {
    if (!append(resolve_, entry)) return false;
  }
  if (resolve_) set(CURLOPT_RESOLVE, resolve_.get());

  if (request.method == "GET") {
    set(CURLOPT_HTTPGET, 1L);
  } else if (request.method == "HEAD") {
    set(CURLOPT_NOBODY, 1L);
  } else {
    if (request.method != "POST") set(CURLOPT_CUSTOMREQUEST, request.method.c_str());
    if (request.method == "POST" || !request.body.empty()) {
      set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
      set(CURLOPT_COPYPOSTFIELDS, request.body.c_str());
      // No "Expect: 100-continue" round trip for larger bodies.
      if (!append(headers_, "Expect:")) return false;
    }
  }

  for (const auto& [name, value] : request.headers) {
    // "Name;" is curl's way to send a header with an empty value ("Name:" would remove it).
    std::string line = value.empty() ? name + ";" : name + ": " + value;
    if (!append(headers_, line)) return false;
  }
  if (headers_) set(CURLOPT_HTTPHEADER, headers_.get());
  return ok;
}

bool Transfer::stalled(std::chrono::steady_clock::time_point now) const {
  return now - lastProgress_ > noProgressTimeout_;
}

std::size_t Transfer::receiveHeader(char*, std::size_t size, std::size_t count, void* self) {
  static_cast<Transfer*>(self)->lastProgress_ = std::chrono::steady_clock::now();
  return size * count;
}

int Transfer::progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
  auto* transfer = static_cast<Transfer*>(self);
  if (uploaded != transfer->uploaded_) {
    transfer->uploaded_ = uploaded;
    transfer->lastProgress_ = std::chrono::steady_clock::now();
  }
  return 0;
}

int Transfer::beforeRequest(void* self, char*, char*, int, int) {
  auto* transfer = static_cast<Transfer*>(self);
  char* address = nullptr;
  if (base::curl::easy_getinfo(transfer->easy(), CURLINFO_EFFECTIVE_URL, &address) == CURLE_OK &&
      address != nullptr && mayFollow(transfer->redirects_, transfer->url_, address)) {
    return CURL_PREREQFUNC_OK;
  }
  transfer->redirectRefused_ = true;
  return CURL_PREREQFUNC_ABORT;
}

std::size_t Transfer::receive(char* data, std::size_t size, std::size_t count, void* self) {
  auto* transfer = static_cast<Transfer*>(self);
  const std::size_t length = size * count;
  transfer->lastProgress_ = std::chrono::steady_clock::now();
  // Either way curl stops with a write error.
  if (length >
      transfer->maxBodyBytes_ - std::min(transfer->maxBodyBytes_, transfer->body_.size())) {
    transfer->oversized_ = true;
    return 0;
  }
  if (!transfer->makeRoom(length)) {
    transfer->overBudget_ = true;
    return 0;
  }
  transfer->body_.append(data, length);
  return length;
}

bool Transfer::makeRoom(std::size_t length) {
  const std::size_t needed = body_.size() + length;
  if (needed <= body_.capacity()) return true;
  // Grown here, as append() would (doubling, to at most the body limit), so that the budget
  // counts the memory the body takes rather than its length.
  const std::size_t grown = std::min(std::max(needed, 2 * body_.capacity()), maxBodyBytes_);
  if (!budget_->take(grown - std::min(grown, taken_))) return false;
  taken_ = std::max(taken_, grown);
  body_.reserve(grown);
  return true;
}

void Transfer::complete(CURLcode result) {
  long status = 0;
  base::curl::easy_getinfo(easy(), CURLINFO_RESPONSE_CODE, &status);
  if (redirectRefused_) {
    fail("a redirect out of the request's scope was refused");
    return;
  }
  if (oversized_ || overBudget_ || result == CURLE_FILESIZE_EXCEEDED) {
    // The status decides before the body's size: callers read the body of a 200 only, so any
    // other answer (a 401 that signs the user out, say) counts as what it is, without its body.
    if (status != 0 && status != 200) {
      promise.set_value(Response{status, {}, {}});
      return;
    }
    fail(overBudget_ ? "response bodies held at once would pass the session's limit"
                     : "response body larger than " + std::to_string(maxBodyBytes_) + " bytes");
    return;
  }
  if (result != CURLE_OK) {
    fail(errorText_[0] != '\0' ? errorText_ : base::curl::easy_strerror(result));
    return;
  }
  Response response;
  response.status = status;
  response.body = std::move(body_);
  response.hold = std::make_shared<const BodyHold>(budget_, std::exchange(taken_, 0));
  promise.set_value(std::move(response));
}

void Transfer::fail(const std::string& why) {
  promise.set_exception(std::make_exception_ptr(TransportError(why)));
}

}  // namespace vx::net
