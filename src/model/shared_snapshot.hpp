#pragma once

#include <memory>
#include <optional>
#include <utility>

#include "model/snapshot.hpp"

namespace vx {

// A snapshot, or nothing, held once however often it is copied: copies share one immutable
// snapshot. The entries of a timeline each carry the snapshot they show; with a thousand waiting
// items, a copy each would multiply the largest thing the extension holds. Reads like
// `std::optional<Snapshot>`, and compares by content.
class SharedSnapshot {
 public:
  SharedSnapshot() = default;
  // Made from what an optional snapshot is made from, as an optional would be.
  SharedSnapshot(std::nullopt_t) {}
  SharedSnapshot(Snapshot snapshot)
      : value_(std::make_shared<const Snapshot>(std::move(snapshot))) {}
  SharedSnapshot(std::optional<Snapshot> snapshot) {
    if (snapshot) value_ = std::make_shared<const Snapshot>(std::move(*snapshot));
  }
  explicit SharedSnapshot(std::shared_ptr<const Snapshot> value) : value_(std::move(value)) {}

  [[nodiscard]] explicit operator bool() const { return value_ != nullptr; }
  [[nodiscard]] bool has_value() const { return value_ != nullptr; }
  [[nodiscard]] const Snapshot& operator*() const { return *value_; }
  [[nodiscard]] const Snapshot* operator->() const { return value_.get(); }
  void reset() { value_.reset(); }
  // A copy of its own, for code that keeps an optional snapshot.
  operator std::optional<Snapshot>() const {
    if (!value_) return std::nullopt;
    return *value_;
  }
  // The snapshot itself, for telling one shared snapshot from another.
  [[nodiscard]] const std::shared_ptr<const Snapshot>& shared() const { return value_; }

  friend bool operator==(const SharedSnapshot& a, const SharedSnapshot& b) {
    if (a.value_ == b.value_) return true;
    return a.value_ && b.value_ && *a.value_ == *b.value_;
  }
  friend bool operator==(const SharedSnapshot& a, std::nullopt_t) { return !a.value_; }
  friend bool operator==(const SharedSnapshot& a, const Snapshot& b) {
    return a.value_ && *a.value_ == b;
  }
  friend bool operator==(const SharedSnapshot& a, const std::optional<Snapshot>& b) {
    if (!a.value_ || !b) return !a.value_ && !b;
    return *a.value_ == *b;
  }

 private:
  std::shared_ptr<const Snapshot> value_;
};

}  // namespace vx
