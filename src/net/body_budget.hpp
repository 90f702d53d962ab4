#pragma once

// The memory the response bodies of one session may take together. A body takes its share as
// it grows (after decompression) and gives it back when the response that holds it is gone,
// so many answers that inflate at the same time cannot add up past the limit.

#include <cstddef>
#include <memory>
#include <mutex>
#include <utility>

namespace vx::net {

class BodyBudget {
 public:
  explicit BodyBudget(std::size_t limit) : limit_(limit) {}

  // Takes `bytes` more; false, taking nothing, when that would pass the limit.
  [[nodiscard]] bool take(std::size_t bytes);
  void giveBack(std::size_t bytes);
  // Applies to later takes; what is held stays held.
  void setLimit(std::size_t limit);

 private:
  std::mutex mutex_;
  std::size_t limit_;
  std::size_t held_ = 0;
};

// Bytes of a budget held by one response body, given back when the last copy of the response
// is gone.
class BodyHold {
 public:
  BodyHold(std::shared_ptr<BodyBudget> budget, std::size_t bytes)
      : budget_(std::move(budget)), bytes_(bytes) {}
  ~BodyHold() { budget_->giveBack(bytes_); }
  BodyHold(const BodyHold&) = delete;
  BodyHold& operator=(const BodyHold&) = delete;

 private:
  std::shared_ptr<BodyBudget> budget_;
  std::size_t bytes_;
};

}  // namespace vx::net
