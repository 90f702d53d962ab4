#include "demo/service.hpp"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <thread>
#include <vector>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include "demo/context.hpp"
#include "demo/quiet_keep_alive_server.hpp"
#include "demo/routes.hpp"

namespace vx::demo {
namespace {

using Listener = QuietKeepAliveServer;

// Idle kept-alive connections hold a worker thread; a short keep-alive lets them go quickly
// (and lets stop() finish quickly). The widgets open about fifty connections at once and reuse
// them for every later request of a refresh, so the default thread count leaves room for all
// of them and a connection is not closed after a handful of requests.
constexpr time_t kKeepAliveSeconds = 2;
constexpr std::size_t kKeepAliveRequests = 10000;

std::unique_ptr<Listener> makeListener(Context& context) {
  auto server = std::make_unique<Listener>();
  const auto threads = static_cast<std::size_t>(context.options.threads);
  server->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  server->set_keep_alive_timeout(kKeepAliveSeconds);
  server->set_keep_alive_max_count(kKeepAliveRequests);
  // The library's default also sets SO_REUSEPORT, which would let a second service share a
  // port already in use instead of refusing it.
  // Answers go out without waiting for the client's acknowledgement of the previous write:
  // the library writes headers and body apart, and with Nagle's algorithm on the body waited
  // for the client's delayed acknowledgement, some 40 ms an answer. Accepted connections take
  // the option over from the listening socket.
  server->set_tcp_nodelay(true);
  server->set_socket_options([](socket_t sock) {
    int yes = 1;
    ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof(yes));
  });
  installRoutes(*server, context);
  return server;
}

}  // namespace

struct Service::State {
  explicit State(ServiceOptions options) : context(std::move(options)) {}

  Context context;
  int port = 0;
  std::vector<std::unique_ptr<Listener>> listeners;
  std::vector<std::thread> threads;
};

Service::Service(ServiceOptions options) : state_(std::make_unique<State>(std::move(options))) {}

Service::~Service() {
  stop();
}

std::string Service::start() {
  if (!state_->listeners.empty()) return "the service is already running";
  if (state_->context.stop.triggered()) return "a stopped service does not start again";
  auto v4 = makeListener(state_->context);
  int port = state_->context.options.port;
  if (port == 0) {
    port = v4->bind_to_any_port("127.0.0.1");
    if (port <= 0) return "cannot listen on 127.0.0.1: no free port";
  } else if (!v4->bind_to_port("127.0.0.1", port)) {
    return "cannot listen on 127.0.0.1:" + std::to_string(port) +
           " (is it in use? --port 0 picks a free port)";
  }
  v4->widenBacklog();
  state_->port = port;
  state_->listeners.push_back(std::move(v4));

  // "localhost" may resolve to ::1 first; serve there too when the address exists and the
  // port is free on it. Clients fall back to 127.0.0.1 otherwise.
  auto v6 = makeListener(state_->context);
  if (v6->bind_to_port("::1", port)) {
    v6->widenBacklog();
    state_->listeners.push_back(std::move(v6));
  }

  for (auto& listener : state_->listeners) {
    state_->threads.emplace_back([server = listener.get()] { server->listen_after_bind(); });
  }
  // stop() only reaches a server that has begun accepting; wait for that here so that a stop
  // right after start cannot be lost.
  for (auto& listener : state_->listeners) {
    while (!listener->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return {};
}

void Service::stop() {
  state_->context.stop.trigger();
  for (auto& listener : state_->listeners) listener->stop();
  for (auto& thread : state_->threads) {
    if (thread.joinable()) thread.join();
  }
  state_->threads.clear();
  state_->listeners.clear();
}

int Service::port() const {
  return state_->port;
}

std::string Service::baseAddress() const {
  return "http://localhost:" + std::to_string(state_->port);
}

const PushTokens& Service::pushTokens() const {
  return state_->context.pushTokens;
}

std::string sessionDocument(int port, const std::string& token) {
  return nlohmann::json{{"api", "http://localhost:" + std::to_string(port)}, {"token", token}}
      .dump();
}

}  // namespace vx::demo
