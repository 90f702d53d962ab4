#include "support/fake_service.hpp"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include <httplib.h>

#include "demo/wide_backlog_server.hpp"

namespace vx::testing {
namespace {

// The local and peer port of a connected TCP socket, or nothing for anything else.
std::optional<std::pair<int, int>> connectedPorts(int fd) {
  sockaddr_storage local{};
  sockaddr_storage peer{};
  socklen_t localLength = sizeof local;
  socklen_t peerLength = sizeof peer;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) != 0) return std::nullopt;
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0) return std::nullopt;
  auto portOf = [](const sockaddr_storage& address) -> int {
    if (address.ss_family == AF_INET) {
      return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    }
    if (address.ss_family == AF_INET6) {
      return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    }
    return -1;
  };
  return std::make_pair(portOf(local), portOf(peer));
}

// Every open descriptor of this process.
std::vector<int> openDescriptors() {
  std::vector<int> fds;
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return fds;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    int fd = std::atoi(entry->d_name);
    if (fd != dirfd(dir)) fds.push_back(fd);
  }
  closedir(dir);
  return fds;
}

// Whether a TCP socket can be bound to `host`:`port` (0: any port); the bound port, or 0.
int probeBind(int family, const char* host, int port) {
  int fd = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return 0;
  sockaddr_storage address{};
  socklen_t length = 0;
  if (family == AF_INET) {
    auto& in = reinterpret_cast<sockaddr_in&>(address);
    in.sin_family = AF_INET;
    in.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, host, &in.sin_addr);
    length = sizeof in;
  } else {
    auto& in6 = reinterpret_cast<sockaddr_in6&>(address);
    in6.sin6_family = AF_INET6;
    in6.sin6_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET6, host, &in6.sin6_addr);
    length = sizeof in6;
  }
  int bound = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0) {
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    bound = family == AF_INET ? ntohs(reinterpret_cast<sockaddr_in&>(address).sin_port)
                              : ntohs(reinterpret_cast<sockaddr_in6&>(address).sin6_port);
  }
  close(fd);
  return bound;
}

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

std::optional<std::string> RecordedRequest::header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (sameName(key, name)) return value;
  }
  return std::nullopt;
}

// Everything the listeners and their connection threads share.
struct detail::FakeState {
  using Responder = FakeService::Responder;

  int port = 0;
  std::atomic<std::size_t> connections{0};

  mutable std::mutex mutex;
  mutable std::condition_variable changed;  // a request arrived, or stopping
  bool stopping = false;
  std::map<std::pair<std::string, std::string>, Responder> scripts;
  Answer fallback{404};
  std::vector<RecordedRequest> log;
  // Accepted sockets, by descriptor, with the client's port (to recognise the same socket later).
  std::map<int, int> sockets;

  // Waits up to `delay`; false when the fake is stopping.
  bool pause(std::chrono::milliseconds delay) {
    std::unique_lock lock(mutex);
    return !changed.wait_for(lock, delay, [&] { return stopping; });
  }

  void waitUntilStopping() {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return stopping; });
  }

  // Remembers the sockets accepted on our port. Called right after an accept, while our
  // listening socket still holds the port, so any socket bound to it is one of ours.
  void noteAcceptedSockets() {
    std::lock_guard lock(mutex);
    for (int fd : openDescriptors()) {
      auto ports = connectedPorts(fd);
      if (ports && ports->first == port) sockets[fd] = ports->second;
    }
  }

  // Ends every accepted connection that is still open, which wakes a connection thread
  // waiting for the client's next request.
  void shutDownSockets() {
    std::lock_guard lock(mutex);
    for (auto it = sockets.begin(); it != sockets.end();) {
      auto ports = connectedPorts(it->first);
      if (ports && ports->first == port && ports->second == it->second) {
        ::shutdown(it->first, SHUT_RDWR);
        ++it;
      } else {
        it = sockets.erase(it);  // closed (and maybe reused for something else)
      }
    }
  }

  Responder responderFor(const std::string& method, const std::string& target) const {
    std::lock_guard lock(mutex);
    auto found = scripts.find({method, target});
    if (found != scripts.end()) return found->second;
    return [answer = fallback](const RecordedRequest&) { return answer; };
  }

  void record(RecordedRequest request) {
    {
      std::lock_guard lock(mutex);
      log.push_back(std::move(request));
    }
    changed.notify_all();
  }
};

namespace {

// Runs each accepted connection on a thread of its own (the library's fixed pool would queue
// connections beyond its size, which would distort concurrency tests), counts the
// connections, and at shutdown closes them so that keep-alive waits end at once.
class ConnectionThreads : public httplib::TaskQueue {
 public:
  explicit ConnectionThreads(std::shared_ptr<detail::FakeState> state) : state_(std::move(state)) {}

  void enqueue(std::function<void()> fn) override {
    state_->connections.fetch_add(1);
    state_->noteAcceptedSockets();
    std::lock_guard lock(mutex_);
    reapFinished();
    auto done = std::make_shared<std::atomic<bool>>(false);
    threads_.push_back({std::thread([fn = std::move(fn), done] {
                          fn();
                          done->store(true);
                        }),
                        done});
  }

  void shutdown() override {
    for (;;) {
      state_->shutDownSockets();
      {
        std::lock_guard lock(mutex_);
        reapFinished();
        if (threads_.empty()) return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

 private:
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };

  void reapFinished() {
    for (auto it = threads_.begin(); it != threads_.end();) {
      if (it->done->load()) {
        it->thread.join();
        it = threads_.erase(it);
      } else {
        ++it;
      }
    }
  }

  std::shared_ptr<detail::FakeState> state_;
  std::mutex mutex_;
  std::list<Worker> threads_;
};

RecordedRequest recordOf(const httplib::Request& request) {
  RecordedRequest recorded;
  recorded.method = request.method;
  recorded.target = request.target;
  recorded.body = request.body;
  recorded.remotePort = request.remote_port;
  for (const auto& [name, value] : request.headers) {
    // The library adds the socket's addresses as pseudo headers; the client sent none of them.
    if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
        name == "LOCAL_PORT") {
      continue;
    }
    recorded.headers.emplace_back(name, value);
  }
  return recorded;
}

std::string contentTypeOf(const Answer& answer) {
  for (const auto& [name, value] : answer.headers) {
    if (sameName(name, "Content-Type")) return value;
  }
  return "application/json";
}

}  // namespace

// One listening address: a server and the thread that accepts on it.
class FakeService::Listener {
 public:
  explicit Listener(const std::shared_ptr<detail::FakeState>& state) : state_(state) {
    server_.new_task_queue = [state] { return new ConnectionThreads(state); };
    server_.set_keep_alive_max_count(1000000);
    server_.set_keep_alive_timeout(3600);
    // Head and body go out in separate writes; with Nagle's algorithm the body would wait for
    // the client's delayed acknowledgement (some 40 ms) on every kept-alive connection.
    server_.set_tcp_nodelay(true);
    // One handler for every path and method; the body has been read when it runs.
    auto handler = [state](const httplib::Request& request, httplib::Response& response) {
      answer(*state, request, response);
    };
    const std::string any = ".*";
    server_.Get(any, handler).Post(any, handler).Put(any, handler).Patch(any, handler);
    server_.Delete(any, handler).Options(any, handler);
  }

  bool bind(const std::string& host, int port) {
    return server_.bind_to_port(host, port) && server_.widenBacklog();
  }

  void start() {
    thread_ = std::thread([this] {
      server_.listen_after_bind();
      finished_ = true;
    });
    while (!server_.is_running() && !finished_) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  void stop() {
    if (!thread_.joinable()) return;
    server_.stop();
    thread_.join();
  }

  ~Listener() { stop(); }

 private:
  static void answer(detail::FakeState& state, const httplib::Request& request,
                     httplib::Response& response) {
    // Recorded before the answer is computed, so a responder may wait for other requests.
    RecordedRequest recorded = recordOf(request);
    state.record(recorded);
    Responder responder = state.responderFor(recorded.method, recorded.target);
    Answer answer = responder(recorded);

    if (answer.delay.count() > 0 && !state.pause(answer.delay)) {
      response.status = 503;
      return;
    }
    response.status = answer.status;
    // These answers end at their head whatever the head says; a body sent along would be read
    // as the start of the next answer on the connection, so the connection ends with it.
    if ((answer.status == 204 || answer.status == 304) && !answer.body.empty()) {
      response.set_header("Connection", "close");
    }
    for (const auto& [name, value] : answer.headers) {
      if (!sameName(name, "Content-Type")) response.set_header(name, value);
    }
    const std::string type = contentTypeOf(answer);
    if (answer.stallHalfway) {
      auto body = std::make_shared<std::string>(std::move(answer.body));
      response.set_content_provider(
          body->size(), type,
          [body, &state](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            if (offset < body->size() / 2) {
              sink.write(body->data(), body->size() / 2);
              return true;
            }
            state.waitUntilStopping();
            return false;
          });
    } else if (answer.chunked) {
      auto body = std::make_shared<std::string>(std::move(answer.body));
      response.set_chunked_content_provider(type, [body](std::size_t offset,
                                                         httplib::DataSink& sink) {
        if (offset < body->size()) {
          sink.write(body->data() + offset, std::min<std::size_t>(body->size() - offset, 65536));
        } else {
          sink.done();
        }
        return true;
      });
    } else {
      response.set_content(answer.body, type);
    }
  }

  std::shared_ptr<detail::FakeState> state_;
  demo::WideBacklogServer server_;
  std::thread thread_;
  std::atomic<bool> finished_{false};
};

FakeService::FakeService() : state_(std::make_shared<detail::FakeState>()) {
  // Finds a port free on both loopback addresses (on 127.0.0.1 alone without IPv6), then binds
  // the servers to it. Another program may take the port in between: then try again.
  const bool ipv6 = probeBind(AF_INET6, "::1", 0) != 0;
  for (int attempt = 0; attempt < 50 && port_ == 0; ++attempt) {
    int port = probeBind(AF_INET, "127.0.0.1", 0);
    if (port == 0 || (ipv6 && probeBind(AF_INET6, "::1", port) == 0)) continue;
    auto v4 = std::make_unique<Listener>(state_);
    if (!v4->bind("127.0.0.1", port)) continue;
    std::unique_ptr<Listener> v6;
    if (ipv6) {
      v6 = std::make_unique<Listener>(state_);
      if (!v6->bind("::1", port)) {
        v4->start();  // a bound server can only be released by running and stopping it
        continue;
      }
    }
    state_->port = port;
    port_ = port;
    listeners_.push_back(std::move(v4));
    if (v6) listeners_.push_back(std::move(v6));
  }
  if (port_ == 0) throw std::runtime_error("fake service: no free loopback port");
  for (auto& listener : listeners_) listener->start();
}

FakeService::~FakeService() {
  stop();
}

void FakeService::stop() {
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
  }
  state_->changed.notify_all();
  for (auto& listener : listeners_) listener->stop();
}

void FakeService::on(const std::string& method, const std::string& target, Answer answer) {
  on(method, target, [answer = std::move(answer)](const RecordedRequest&) { return answer; });
}

void FakeService::on(const std::string& method, const std::string& target, Responder responder) {
  std::lock_guard lock(state_->mutex);
  state_->scripts[{method, target}] = std::move(responder);
}

void FakeService::otherwise(Answer answer) {
  std::lock_guard lock(state_->mutex);
  state_->fallback = std::move(answer);
}

int FakeService::port() const {
  return port_;
}

std::string FakeService::baseUrl() const {
  return "http://localhost:" + std::to_string(port_);
}

std::vector<RecordedRequest> FakeService::requests() const {
  std::lock_guard lock(state_->mutex);
  return state_->log;
}

std::vector<RecordedRequest> FakeService::requests(std::string_view method,
                                                   std::string_view target) const {
  std::vector<RecordedRequest> matching;
  for (auto& request : requests()) {
    if (request.method == method && request.target == target) matching.push_back(request);
  }
  return matching;
}

std::size_t FakeService::requestCount() const {
  std::lock_guard lock(state_->mutex);
  return state_->log.size();
}

bool FakeService::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(state_->mutex);
  return state_->changed.wait_for(lock, timeout, [&] { return state_->log.size() >= count; });
}

void FakeService::clearRequests() {
  std::lock_guard lock(state_->mutex);
  state_->log.clear();
}

std::size_t FakeService::connectionsAccepted() const {
  return state_->connections.load();
}

}  // namespace vx::testing
