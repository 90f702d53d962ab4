#include "net/http_session.hpp"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>

#include "net/body_budget.hpp"
#include "net/curl_handles.hpp"
#include "net/transfer.hpp"

namespace vx::net {
namespace {

void initCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { base::curl::global_init(CURL_GLOBAL_DEFAULT); });
}

// Idle connections the session keeps for reuse. A refresh runs some tens of requests to one
// host at once; over HTTP/1.1 each needs its own connection, and all should survive until the
// next refresh.
constexpr long kMaxCachedConnections = 256;

}  // namespace

// Owns the curl multi handle and the one thread that drives every transfer on it. Other threads
// only hand new transfers over (under the mutex) and wake the thread.
class HttpSession::Engine {
 public:
  explicit Engine(Options options)
      : options_(options), budget_(std::make_shared<BodyBudget>(options.maxBodyBytesHeld)) {
    initCurlOnce();
    multi_.reset(base::curl::multi_init());
    if (!multi_) throw TransportError("cannot create the HTTP session");
    base::curl::multi_setopt(multi_.get(), CURLMOPT_PIPELINING, CURLPIPE_MULTIPLEX);
    base::curl::multi_setopt(multi_.get(), CURLMOPT_MAXCONNECTS, kMaxCachedConnections);
    applyHostLimit(options_.maxConnectionsPerHost);
    // A thread that cannot start throws; the multi handle then goes with the members.
    thread_ = std::thread([this] { run(); });
  }

  ~Engine() { shutdown(); }

  std::future<Response> send(Request request) {
    auto transfer = std::make_unique<Transfer>();
    std::future<Response> future = transfer->promise.get_future();
    // A line break in a header would let its value smuggle further headers into the request.
    for (const auto& [name, value] : request.headers) {
      if ((name + value).find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        transfer->fail("a request header holds a line break or a NUL character");
        return future;
      }
    }
    Options options = this->options();
    if (request.noProgressTimeoutSeconds > 0) {
      options.noProgressTimeoutSeconds = request.noProgressTimeoutSeconds;
    }
    if (!transfer->prepare(request, options, budget_)) {
      transfer->fail("cannot set up the request");
      return future;
    }
    std::lock_guard lock(mutex_);
    if (stopping_) {
      transfer->fail("the HTTP session is closed");
      return future;
    }
    queued_.push_back(std::move(transfer));
    // Under the mutex: once the thread has seen `stopping_` it cleans up the multi handle, and
    // no wake-up may reach it after that.
    base::curl::multi_wakeup(multi_.get());
    return future;
  }

  Statistics statistics() const { return {requestsFinished_.load(), connectionsOpened_.load()}; }

  Options options() const {
    std::lock_guard lock(mutex_);
    return options_;
  }

  void setOptions(Options options) {
    std::lock_guard lock(mutex_);
    budget_->setLimit(options.maxBodyBytesHeld);
    options_ = options;
  }

  // Fails every pending request and ends the thread. Idempotent.
  void shutdown() {
    {
      std::lock_guard lock(mutex_);
      if (!stopping_) {
        stopping_ = true;
        base::curl::multi_wakeup(multi_.get());
      }
    }
    if (thread_.joinable()) thread_.join();
  }

 private:
  void run() {
    for (;;) {
      if (!adoptQueued()) break;
      int running = 0;
      base::curl::multi_perform(multi_.get(), &running);
      finishDone();
      failStalled();
      // Wakes for curl's own timers and sockets, for send() and shutdown(), and often enough
      // to notice stalled transfers on time.
      base::curl::multi_poll(multi_.get(), nullptr, 0, active_.empty() ? 60000 : 200, nullptr);
    }
    failEverything("the HTTP session is closed");
    multi_.reset();
  }

  // The multi handle's options belong to the I/O thread (and to the constructor before it
  // starts), so a changed limit is applied here rather than in setOptions().
  void applyHostLimit(long limit) {
    if (limit == appliedHostLimit_) return;
    base::curl::multi_setopt(multi_.get(), CURLMOPT_MAX_HOST_CONNECTIONS, std::max(0L, limit));
    appliedHostLimit_ = limit;
  }

  // Moves newly sent transfers into the multi handle; false once the session is stopping.
  bool adoptQueued() {
    std::vector<std::unique_ptr<Transfer>> incoming;
    long hostLimit = 0;
    {
      std::lock_guard lock(mutex_);
      if (stopping_) return false;
      incoming.swap(queued_);
      hostLimit = options_.maxConnectionsPerHost;
    }
    applyHostLimit(hostLimit);
    for (auto& transfer : incoming) {
      CURL* easy = transfer->easy();
      if (base::curl::multi_add_handle(multi_.get(), easy) != CURLM_OK) {
        transfer->fail("cannot start the request");
        continue;
      }
      transfer->start(std::chrono::steady_clock::now());
      active_.emplace(easy, std::move(transfer));
    }
    return true;
  }

  void finishDone() {
    int left = 0;
    while (CURLMsg* message = base::curl::multi_info_read(multi_.get(), &left)) {
      if (message->msg != CURLMSG_DONE) continue;
      auto found = active_.find(message->easy_handle);
      if (found == active_.end()) continue;
      std::unique_ptr<Transfer> transfer = std::move(found->second);
      active_.erase(found);
      CURLcode result = message->data.result;  // read before the handle is removed
      long connects = 0;
      if (base::curl::easy_getinfo(transfer->easy(), CURLINFO_NUM_CONNECTS, &connects) ==
          CURLE_OK) {
        connectionsOpened_ += static_cast<std::uint64_t>(connects);
      }
      ++requestsFinished_;
      base::curl::multi_remove_handle(multi_.get(), transfer->easy());
      transfer->complete(result);
    }
  }

  void failStalled() {
    const auto now = std::chrono::steady_clock::now();
    for (auto it = active_.begin(); it != active_.end();) {
      if (it->second->stalled(now)) {
        base::curl::multi_remove_handle(multi_.get(), it->first);
        it->second->fail("no progress within the time-out");
        it = active_.erase(it);
      } else {
        ++it;
      }
    }
  }

  void failEverything(const char* why) {
    for (auto& [easy, transfer] : active_) {
      base::curl::multi_remove_handle(multi_.get(), easy);
      transfer->fail(why);
    }
    active_.clear();
    std::lock_guard lock(mutex_);
    for (auto& transfer : queued_) transfer->fail(why);
    queued_.clear();
  }

  mutable std::mutex mutex_;
  Options options_;
  // Shared with every transfer and with the responses that hold its bytes, which may outlive
  // the session.
  const std::shared_ptr<BodyBudget> budget_;
  std::atomic<std::uint64_t> requestsFinished_{0};
  std::atomic<std::uint64_t> connectionsOpened_{0};
  bool stopping_ = false;
  std::vector<std::unique_ptr<Transfer>> queued_;

  // Touched by the I/O thread only (and by the constructor before it starts).
  MultiHandle multi_;
  long appliedHostLimit_ = 0;  // curl's own default: no limit
  std::map<CURL*, std::unique_ptr<Transfer>> active_;
  std::thread thread_;
};

HttpSession::HttpSession(Options options) : engine_(std::make_unique<Engine>(options)) {}

HttpSession::~HttpSession() = default;

std::future<Response> HttpSession::send(Request request) {
  return engine_->send(std::move(request));
}

HttpSession::Options HttpSession::options() const {
  return engine_->options();
}

HttpSession::Statistics HttpSession::statistics() const {
  return engine_->statistics();
}

void HttpSession::setOptions(Options options) {
  engine_->setOptions(options);
}

HttpSession& HttpSession::shared() {
  // Never destroyed, so a late caller cannot reach a dead object; its thread is stopped at
  // exit instead (before curl's own exit handlers, which were registered earlier), and requests
  // sent after that fail at once.
  static HttpSession* session = [] {
    auto* created = new HttpSession(Options{});
    std::atexit([] { shared().engine_->shutdown(); });
    return created;
  }();
  return *session;
}

void HttpSession::configureShared(Options options) {
  shared().setOptions(options);
}

}  // namespace vx::net
