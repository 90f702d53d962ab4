#include "net/body_budget.hpp"

#include <algorithm>

namespace vx::net {

bool BodyBudget::take(std::size_t bytes) {
  std::lock_guard lock(mutex_);
  if (bytes > limit_ - std::min(limit_, held_)) return false;
  held_ += bytes;
  return true;
}

void BodyBudget::giveBack(std::size_t bytes) {
  std::lock_guard lock(mutex_);
  held_ -= std::min(held_, bytes);
}

void BodyBudget::setLimit(std::size_t limit) {
  std::lock_guard lock(mutex_);
  limit_ = limit;
}

}  // namespace vx::net
