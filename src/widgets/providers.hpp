#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/timeline.hpp"
#include "model/shared_snapshot.hpp"
#include "model/snapshot.hpp"
#include "model/widget_period.hpp"
#include "refresh/fetcher.hpp"
#include "widgets/entries.hpp"
#include "widgets/period_option.hpp"

// The three providers that answer the host for their widget kinds. None talks to the service
// itself: a timeline asks the refresh engine, a preview reads only the cached snapshot, and a
// placeholder touches nothing. Every operation answers; none throws.
namespace vx::widgets {

// How long after a snapshot's `at` its live-visitor figure counts as current.
inline constexpr double kRealtimeWindow = 900;
// Every timeline asks to be reloaded this long after it was built.
inline constexpr double kReloadInterval = 900;

inline constexpr std::string_view kLoadProjectsMessage = "Open Vantorix to load your projects";
inline constexpr std::string_view kSignInMessage = "Open Vantorix to sign in";

// A configured period as a `WidgetPeriod`, by raw value; `days7` when the raw value names none.
template <PeriodChoice Choice>
[[nodiscard]] WidgetPeriod resolvePeriod(const Choice& choice) {
  return widgetPeriodFromRaw(rawValue(choice)).value_or(WidgetPeriod::days7);
}

// What the widget shows for an answer of the refresh engine.
struct Shown {
  SharedSnapshot snapshot;
  std::string message;

  bool operator==(const Shown&) const = default;
};
[[nodiscard]] Shown shown(const refresh::Fetcher::Outcome& outcome);

class ProjectSummaryProvider {
 public:
  using Configuration = ProjectSummaryIntent;
  using Entry = ProjectSummaryEntry;

  [[nodiscard]] Entry placeholder() const;
  [[nodiscard]] Entry snapshot(const Configuration& configuration) const;
  [[nodiscard]] host::Timeline<Entry> timeline(const Configuration& configuration) const;
};

class AllProjectsProvider {
 public:
  using Configuration = AllProjectsIntent;
  using Entry = AllProjectsEntry;

  [[nodiscard]] Entry placeholder() const;
  [[nodiscard]] Entry snapshot(const Configuration& configuration) const;
  [[nodiscard]] host::Timeline<Entry> timeline(const Configuration& configuration) const;
};

class WaitingProvider {
 public:
  using Configuration = WaitingIntent;
  using Entry = WaitingEntry;

  [[nodiscard]] Entry placeholder() const;
  [[nodiscard]] Entry snapshot(const Configuration& configuration) const;
  [[nodiscard]] host::Timeline<Entry> timeline(const Configuration& configuration) const;
};

}  // namespace vx::widgets
