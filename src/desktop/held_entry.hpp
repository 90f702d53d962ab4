#pragma once

// Timeline entries as the host keeps them. Each entry the extension writes carries the snapshot
// it was made from, and a timeline's entries, like widgets shown from one cached snapshot,
// mostly carry the same one: held as written, a thousand waiting items cost a tree of megabytes
// per entry. The host holds each distinct snapshot once instead, and puts it back into an entry
// only for the request that hands the entry to the extension.

#include <memory>
#include <vector>

#include <nlohmann/json.hpp>

namespace vx::desktop {

struct HeldEntry {
  nlohmann::json fields;                           // the entry but its snapshot ("date" among them)
  std::shared_ptr<const nlohmann::json> snapshot;  // none when the entry has none

  // The entry as the extension wrote it.
  [[nodiscard]] nlohmann::json whole() const;
};

// The distinct snapshots that held entries share, each held for as long as an entry holds it.
class SnapshotPool {
 public:
  // `entry` with its snapshot held apart: the one held already when an equal one is.
  [[nodiscard]] HeldEntry hold(nlohmann::json entry);

 private:
  std::vector<std::weak_ptr<const nlohmann::json>> held_;
};

}  // namespace vx::desktop
