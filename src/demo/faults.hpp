#pragma once

// Fault and latency injection: what the command line asked the service to get wrong.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>

#include "demo/dice.hpp"
#include "demo/options.hpp"

namespace vx::demo {

// Lets waits inside request handlers end early when the service stops.
class StopSignal {
 public:
  void trigger();
  [[nodiscard]] bool triggered() const;
  // Waits `duration` (forever when `forever`); true when the stop came first.
  bool wait(std::chrono::milliseconds duration, bool forever = false);

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stopped_ = false;
};

class Faults {
 public:
  explicit Faults(FaultOptions options);

  // How long to hold the next answer back: the latency plus its pseudo-random jitter.
  [[nodiscard]] std::chrono::milliseconds delay();
  // The status the first matching --status rule gives `target`.
  [[nodiscard]] std::optional<int> injectedStatus(const std::string& target) const;
  // Whether the next request is one of the --error-rate share that fails.
  [[nodiscard]] bool randomFailure();
  [[nodiscard]] bool stalls(const std::string& target) const;
  // The fault of the first matching --fault rule.
  [[nodiscard]] std::optional<AnswerFault> answerFault(const std::string& target) const;
  [[nodiscard]] int stallMs() const { return options_.stallMs; }
  [[nodiscard]] bool drips(const std::string& target) const;
  [[nodiscard]] int dripMs() const { return options_.dripMs; }

 private:
  FaultOptions options_;
  std::mutex mutex_;
  Dice dice_;
};

}  // namespace vx::demo
