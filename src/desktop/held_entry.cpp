#include "desktop/held_entry.hpp"

#include <algorithm>

namespace vx::desktop {
namespace {

constexpr const char* kSnapshot = "snapshot";

}  // namespace

nlohmann::json HeldEntry::whole() const {
  nlohmann::json entry = fields;
  if (snapshot) entry[kSnapshot] = *snapshot;
  return entry;
}

HeldEntry SnapshotPool::hold(nlohmann::json entry) {
  HeldEntry held;
  const auto found = entry.is_object() ? entry.find(kSnapshot) : entry.end();
  if (found == entry.end()) {
    held.fields = std::move(entry);
    return held;
  }
  nlohmann::json snapshot = std::move(*found);
  entry.erase(found);
  held.fields = std::move(entry);
  std::erase_if(held_, [](const auto& weak) { return weak.expired(); });
  for (const auto& weak : held_) {
    auto same = weak.lock();
    if (same && *same == snapshot) {
      held.snapshot = std::move(same);
      return held;
    }
  }
  held.snapshot = std::make_shared<const nlohmann::json>(std::move(snapshot));
  held_.push_back(held.snapshot);
  return held;
}

}  // namespace vx::desktop
