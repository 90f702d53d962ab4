#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "desktop/extension_process.hpp"
#include "host/timeline.hpp"

namespace vx::desktop {

using host::Instant;

// How long to wait before starting the extension again after its `failures`-th failure in a
// row: 1 s, 2 s, 4 s, ... up to a minute.
[[nodiscard]] std::chrono::microseconds restartDelay(int failures);

// How long the extension may leave every request unanswered before it counts as stuck: it is
// then stopped, and its successor gets the requests.
inline constexpr std::chrono::seconds kAnswerPatience{120};

// The one extension process that every widget shares, run with `serve`. Requests get an id and
// stay outstanding until answered; when the process ends they are sent again to the next one.
// A process that answers nothing for `kAnswerPatience` while requests wait is stopped (a
// failure).
// A process that ends with status 0 after it answered something ended itself because its
// bundle was replaced, and a new one starts at once; any other end is a failure, and the next
// process starts after `restartDelay`. Single-threaded: the caller polls `fds()` and calls
// `service` with the time.
class ExtensionLink {
 public:
  struct Completed {
    nlohmann::json request;
    std::string tag;        // what the caller handed in with the request
    nlohmann::json answer;  // {"id", "result"} or {"id", "error"}
  };

  // `arguments` follow `program`; they should begin with "serve".
  ExtensionLink(std::string program, std::vector<std::string> arguments);

  // Sends `request` (an object; its "id" is set here) and returns the id.
  std::uint64_t request(nlohmann::json request, std::string tag = {});
  // Requests sent to every new process before the outstanding ones (the push hand-over).
  void setGreeting(std::vector<nlohmann::json> greeting) { greeting_ = std::move(greeting); }

  // Starts the first process.
  void start(Instant now);
  // Reads answers, notices the end of the process, starts the next one when its time has come.
  [[nodiscard]] std::vector<Completed> service(Instant now);
  // When `service` must run again at the latest (a restart waiting for its time).
  [[nodiscard]] std::optional<Instant> nextWake() const;

  // The file descriptors to wait on (-1 for none) and whether input has bytes waiting.
  [[nodiscard]] int outputFd() const { return process_ ? process_->outputFd() : -1; }
  [[nodiscard]] int inputFd() const {
    return process_ && process_->hasPendingInput() ? process_->inputFd() : -1;
  }
  void flush() {
    if (process_) (void)process_->flush();
  }

  [[nodiscard]] int started() const { return started_; }
  [[nodiscard]] std::size_t outstanding() const { return outstanding_.size(); }
  [[nodiscard]] std::optional<pid_t> pid() const {
    return process_ ? std::optional<pid_t>(process_->pid()) : std::nullopt;
  }

 private:
  void launch();
  void send(std::uint64_t id, const nlohmann::json& request);

  std::string program_;
  std::vector<std::string> arguments_;
  std::unique_ptr<ExtensionProcess> process_;
  struct Outstanding {
    nlohmann::json request;
    std::string tag;
  };
  std::map<std::uint64_t, Outstanding> outstanding_;
  std::vector<nlohmann::json> greeting_;
  std::uint64_t nextId_ = 1;
  int failures_ = 0;
  bool answeredSinceStart_ = false;
  std::optional<Instant> restartAt_;
  // Since when requests have waited without any answer.
  std::optional<Instant> waitingSince_;
  int started_ = 0;
};

}  // namespace vx::desktop
