#include "model/snapshot.hpp"

#include <algorithm>

namespace vx {

std::string_view rawValue(WaitingItem::Kind kind) {
  return kind == WaitingItem::Kind::article ? "article" : "conversation";
}

std::optional<WaitingItem::Kind> waitingKindFromRaw(std::string_view raw) {
  if (raw == "conversation") return WaitingItem::Kind::conversation;
  if (raw == "article") return WaitingItem::Kind::article;
  return std::nullopt;
}

std::optional<PeriodMetrics> ProjectEntry::metrics(WidgetPeriod period) const {
  auto found = metricsByPeriod.find(std::string(rawValue(period)));
  if (found == metricsByPeriod.end()) return std::nullopt;
  return found->second;
}

Time Snapshot::updatedAt(WidgetPeriod period) const {
  auto found = periodAt.find(std::string(rawValue(period)));
  return found == periodAt.end() ? at : found->second;
}

std::vector<WaitingItem> Snapshot::waiting() const {
  std::vector<WaitingItem> merged;
  for (const ProjectEntry& project : projects) {
    merged.insert(merged.end(), project.waiting.begin(), project.waiting.end());
  }
  std::stable_sort(merged.begin(), merged.end(),
                   [](const WaitingItem& a, const WaitingItem& b) { return a.since > b.since; });
  return merged;
}

}  // namespace vx
