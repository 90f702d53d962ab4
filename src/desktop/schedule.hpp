#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "desktop/held_entry.hpp"
#include "host/timeline.hpp"

namespace vx::desktop {

using host::Instant;

// How often a widget may ask for a new timeline on its own: at most `kDailyReloads` times in any
// 24 hours, spread out by keeping reloads at least 24 h / `kDailyReloads` apart (30 minutes).
// A reload date that comes sooner waits for the gap to pass; the entries already at hand keep
// being shown at their dates meanwhile. A widget's first timeline, the answer to a failed
// request and the reloads the desktop application asks for do not count.
inline constexpr int kDailyReloads = 48;
inline constexpr std::chrono::microseconds kReloadGap =
    std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::hours(24)) / kDailyReloads;
// When a timeline request fails (the extension answered with an error), asked again after this.
inline constexpr std::chrono::seconds kRetryAfterFailure{60};

// Every placed widget's timeline: which entry is showing, when the next one is due, and when to
// ask the extension again. Pure bookkeeping: the caller tells it the time and carries out what
// `due` hands back, so that it can be driven by any clock.
class Schedule {
 public:
  // An entry as the extension wrote it, with its date.
  struct Entry {
    Instant date;
    HeldEntry entry;
  };
  struct Show {
    std::string widget;
    HeldEntry entry;
  };
  // What to do now: widgets whose timeline to request, and entries to draw.
  struct Due {
    std::vector<std::string> reloads;
    std::vector<Show> shows;
  };

  // A widget joins: its first timeline is wanted at once.
  void add(const std::string& widget);
  void remove(const std::string& widget);
  [[nodiscard]] bool contains(const std::string& widget) const;

  // The extension answered a timeline request for `widget`.
  void timelineArrived(const std::string& widget, std::vector<Entry> entries, Instant reloadAt);
  // The request for `widget` failed; it is asked again `kRetryAfterFailure` after `now`.
  void timelineFailed(const std::string& widget, Instant now);
  // Every widget asks for a new timeline at once, outside the budget (the desktop application's
  // reload). A widget whose request is under way asks once more when its answer is in, so a
  // burst of reloads costs at most one extra request per widget.
  void reloadAll();

  // Everything due at `now`: marks the reloads as requested and the entries as shown.
  [[nodiscard]] Due due(Instant now);
  // The next moment at which `due` will have something, if any.
  [[nodiscard]] std::optional<Instant> nextWake() const;

 private:
  struct Widget {
    std::vector<Entry> entries;
    std::optional<std::size_t> shown;
    std::optional<Instant> reloadAt;
    std::optional<Instant> lastBudgetedReload;
    bool wanted = true;  // a timeline is wanted outside the budget
    bool inFlight = false;
  };
  [[nodiscard]] static std::optional<Instant> budgetedReload(const Widget& widget);
  [[nodiscard]] static std::optional<std::size_t> current(const Widget& widget, Instant now);

  std::map<std::string, Widget> widgets_;
};

// Reads a timeline answer `{"entries": [...], "reloadAt"}` (dates in milliseconds since 1970),
// the entries' snapshots held in `snapshots`. Nothing when it has another shape.
[[nodiscard]] std::optional<std::pair<std::vector<Schedule::Entry>, Instant>> readTimeline(
    const nlohmann::json& result, SnapshotPool& snapshots);

}  // namespace vx::desktop
