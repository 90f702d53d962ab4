#include "widgets/driver_serve.hpp"

#include <condition_variable>
#include <deque>
#include <functional>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/host_platform.hpp"
#include "push/widget_pushes.hpp"
#include "widgets/driver_json.hpp"
#include "widgets/driver_kinds.hpp"
#include "widgets/driver_output.hpp"
#include "widgets/kinds.hpp"
#include "widgets/project_entity_query.hpp"

namespace vx::widgets::driver {
namespace {

using Json = nlohmann::json;

// Requests answered at the same time. Most of a request's time is spent waiting for the refresh
// engine, so a few more threads than cores keep a burst of widget requests moving together.
constexpr std::size_t kWorkers = 8;

// A fixed set of threads taking requests from one queue in arrival order.
class Workers {
 public:
  explicit Workers(std::size_t count) {
    threads_.reserve(count);
    for (std::size_t i = 0; i < count; ++i) threads_.emplace_back([this] { work(); });
  }
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;
  ~Workers() { finish(); }

  void submit(std::function<void()> job) {
    {
      std::lock_guard lock(mutex_);
      jobs_.push_back(std::move(job));
    }
    changed_.notify_one();
  }

  // Lets every queued job run to its end, then stops the threads.
  void finish() {
    {
      std::lock_guard lock(mutex_);
      closed_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) {
      if (thread.joinable()) thread.join();
    }
  }

 private:
  void work() {
    std::unique_lock lock(mutex_);
    while (true) {
      changed_.wait(lock, [this] { return !jobs_.empty() || closed_; });
      if (jobs_.empty()) return;
      std::function<void()> job = std::move(jobs_.front());
      jobs_.pop_front();
      lock.unlock();
      job();
      lock.lock();
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> jobs_;
  bool closed_ = false;
  std::vector<std::thread> threads_;
};

const KindRequests& kindOf(const json::Field& request) {
  const json::Field kind = request.member("kind");
  const KindRequests* requests = kindRequests(kind.text());
  if (!requests) kind.fail("unknown widget kind \"" + kind.text() + "\"");
  return *requests;
}

Answer kinds() {
  Answer list = Answer::array();
  for (const WidgetKind& kind : VantorixWidgets::body()) list.push_back(toJson(kind));
  return list;
}

Answer entities(const json::Field& request) {
  const std::vector<std::string> ids =
      request.member("ids").list<std::string>([](const json::Field& id) { return id.text(); });
  return toJson(ProjectEntityQuery().entities(ids));
}

// Hands the token to the push handler that the kinds carry. Answers once it is handed over;
// the report itself runs in the background and is waited for at the end of input.
Answer pushTokenDidChange(const json::Field& request) {
  const json::Field tokenField = request.member("token");
  const auto token = host::platform::decodePushToken(tokenField.text());
  if (!token) tokenField.fail("expected hexadecimal digits, two per byte");
  const json::Field widgetsField = request.member("widgets");
  const std::int64_t widgets = widgetsField.integer();
  if (widgets < 0) widgetsField.fail("expected a count of 0 or more");
  PushHandler handler = nullptr;
  for (const WidgetKind& kind : VantorixWidgets::body()) {
    if (kind.pushHandler) {
      handler = kind.pushHandler;
      break;
    }
  }
  if (!handler) {
    request.member("op").fail("no push handler below platform version " +
                              std::to_string(kPushPlatformVersion));
  }
  (void)handler(*token, static_cast<std::size_t>(widgets));
  return true;
}

Answer result(const json::Field& request) {
  const json::Field opField = request.member("op");
  const std::string op = opField.text();
  if (op == "kinds") return kinds();
  if (op == "placeholder") return kindOf(request).placeholder();
  if (op == "snapshot") return kindOf(request).snapshot(request.member("configuration"));
  if (op == "timeline") return kindOf(request).timeline(request.member("configuration"));
  if (op == "projects") return toJson(ProjectEntityQuery().suggestedEntities());
  if (op == "entities") return entities(request);
  if (op == "pushTokenDidChange") return pushTokenDidChange(request);
  opField.fail("unknown operation \"" + op + "\"");
}

// The answer line for one request line. Never throws.
std::string answer(const std::string& line) {
  Answer id = nullptr;
  Answer reply;
  try {
    const Json request = json::parse(line);
    const json::Field root = json::root(request);
    root.requireObject();
    if (auto found = request.find("id"); found != request.end()) id = *found;
    reply = {{"id", id}, {"result", result(root)}};
  } catch (const std::exception& error) {
    reply = {{"id", id}, {"error", error.what()}};
  }
  return reply.dump(-1, ' ', false, Answer::error_handler_t::replace);
}

}  // namespace

int serve() {
  {
    Workers workers(kWorkers);
    std::string line;
    while (std::getline(std::cin, line)) {
      if (line.find_first_not_of(" \t\r") == std::string::npos) continue;  // blank lines
      workers.submit([line = std::move(line)] { writeLine(answer(line)); });
      line = std::string();
    }
    // End of input: every request taken is still answered.
  }
  push::WidgetPushes::waitForPending();
  return 0;
}

}  // namespace vx::widgets::driver
