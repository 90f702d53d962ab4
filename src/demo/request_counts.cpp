#include "demo/request_counts.hpp"

#include <algorithm>

namespace vx::demo {

void RequestCounts::begin(const std::string& key) {
  const auto thread = std::this_thread::get_id();
  std::lock_guard lock(mutex_);
  endLocked(thread);
  ++counts_[key];
  auto& peak = peaks_[key];
  peak = std::max(peak, ++inFlight_[key]);
  open_.emplace(thread, key);
}

void RequestCounts::end() {
  std::lock_guard lock(mutex_);
  endLocked(std::this_thread::get_id());
}

void RequestCounts::endLocked(std::thread::id thread) {
  const auto open = open_.find(thread);
  if (open == open_.end()) return;
  --inFlight_[open->second];
  open_.erase(open);
}

RequestCounts::Figures RequestCounts::counts() const {
  std::lock_guard lock(mutex_);
  return counts_;
}

RequestCounts::Figures RequestCounts::peaks() const {
  std::lock_guard lock(mutex_);
  return peaks_;
}

}  // namespace vx::demo
