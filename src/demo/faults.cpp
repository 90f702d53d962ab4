#include "demo/faults.hpp"

#include <algorithm>

namespace vx::demo {
namespace {

bool anyFinds(const std::vector<Pattern>& patterns, const std::string& target) {
  return std::any_of(patterns.begin(), patterns.end(),
                     [&](const Pattern& p) { return p.finds(target); });
}

}  // namespace

void StopSignal::trigger() {
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
  }
  changed_.notify_all();
}

bool StopSignal::triggered() const {
  std::lock_guard lock(mutex_);
  return stopped_;
}

bool StopSignal::wait(std::chrono::milliseconds duration, bool forever) {
  std::unique_lock lock(mutex_);
  if (forever) {
    changed_.wait(lock, [&] { return stopped_; });
    return true;
  }
  return changed_.wait_for(lock, duration, [&] { return stopped_; });
}

Faults::Faults(FaultOptions options) : options_(std::move(options)), dice_(options_.seed) {}

std::chrono::milliseconds Faults::delay() {
  int jitter = 0;
  if (options_.jitterMs > 0) {
    std::lock_guard lock(mutex_);
    jitter = static_cast<int>(dice_.below(static_cast<std::uint32_t>(options_.jitterMs) + 1));
  }
  return std::chrono::milliseconds(options_.latencyMs + jitter);
}

std::optional<int> Faults::injectedStatus(const std::string& target) const {
  for (const StatusRule& rule : options_.statuses) {
    if (rule.pattern.finds(target)) return rule.status;
  }
  return std::nullopt;
}

bool Faults::randomFailure() {
  if (options_.errorRate <= 0) return false;
  std::lock_guard lock(mutex_);
  return dice_.unit() < options_.errorRate;
}

bool Faults::stalls(const std::string& target) const {
  return anyFinds(options_.stalls, target);
}

bool Faults::drips(const std::string& target) const {
  return anyFinds(options_.drips, target);
}

std::optional<AnswerFault> Faults::answerFault(const std::string& target) const {
  for (const AnswerFaultRule& rule : options_.answerFaults) {
    if (rule.pattern.finds(target)) return rule.fault;
  }
  return std::nullopt;
}

}  // namespace vx::demo
