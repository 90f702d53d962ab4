#include "desktop/schedule.hpp"

#include <algorithm>

#include "desktop/whole_number.hpp"

namespace vx::desktop {
namespace {

Instant fromMilliseconds(std::int64_t ms) {
  return Instant(std::chrono::milliseconds(ms));
}

}  // namespace

void Schedule::add(const std::string& widget) {
  widgets_.try_emplace(widget);
}

void Schedule::remove(const std::string& widget) {
  widgets_.erase(widget);
}

bool Schedule::contains(const std::string& widget) const {
  return widgets_.contains(widget);
}

void Schedule::timelineArrived(const std::string& widget, std::vector<Entry> entries,
                               Instant reloadAt) {
  const auto found = widgets_.find(widget);
  if (found == widgets_.end()) return;
  Widget& state = found->second;
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.date < b.date; });
  state.entries = std::move(entries);
  state.shown.reset();  // the current entry is drawn afresh: it carries new data
  state.reloadAt = reloadAt;
  state.inFlight = false;
}

void Schedule::timelineFailed(const std::string& widget, Instant now) {
  const auto found = widgets_.find(widget);
  if (found == widgets_.end()) return;
  found->second.inFlight = false;
  found->second.reloadAt = now + kRetryAfterFailure;
  // A retry is not the widget's own reload: it does not wait for the budget's gap.
  found->second.lastBudgetedReload.reset();
}

void Schedule::reloadAll() {
  for (auto& [id, state] : widgets_) state.wanted = true;
}

std::optional<Instant> Schedule::budgetedReload(const Widget& widget) {
  if (!widget.reloadAt) return std::nullopt;
  if (!widget.lastBudgetedReload) return widget.reloadAt;
  return std::max(*widget.reloadAt, *widget.lastBudgetedReload + kReloadGap);
}

std::optional<std::size_t> Schedule::current(const Widget& widget, Instant now) {
  std::optional<std::size_t> index;
  for (std::size_t i = 0; i < widget.entries.size() && widget.entries[i].date <= now; ++i)
    index = i;
  return index;
}

Schedule::Due Schedule::due(Instant now) {
  Due due;
  for (auto& [id, state] : widgets_) {
    if (!state.inFlight) {
      const auto budgeted = budgetedReload(state);
      if (state.wanted) {
        state.wanted = false;
        state.inFlight = true;
        due.reloads.push_back(id);
      } else if (budgeted && *budgeted <= now) {
        state.lastBudgetedReload = now;
        state.inFlight = true;
        due.reloads.push_back(id);
      }
    }
    const auto index = current(state, now);
    if (index && index != state.shown) {
      state.shown = index;
      due.shows.push_back({id, state.entries[*index].entry});
    }
  }
  return due;
}

std::optional<Instant> Schedule::nextWake() const {
  std::optional<Instant> next;
  const auto consider = [&next](Instant at) {
    if (!next || at < *next) next = at;
  };
  for (const auto& [id, state] : widgets_) {
    if (!state.inFlight) {
      if (state.wanted) consider(Instant::min());
      if (const auto budgeted = budgetedReload(state)) consider(*budgeted);
    }
    const std::size_t following = state.shown ? *state.shown + 1 : 0;
    if (following < state.entries.size()) consider(state.entries[following].date);
  }
  return next;
}

std::optional<std::pair<std::vector<Schedule::Entry>, Instant>> readTimeline(
    const nlohmann::json& result, SnapshotPool& snapshots) {
  try {
    const fields::Field root = fields::root(result);
    const Instant reloadAt = fromMilliseconds(wholeNumber(root.member("reloadAt")));
    auto entries = root.member("entries").list<Schedule::Entry>([&](const fields::Field& entry) {
      const Instant date = fromMilliseconds(wholeNumber(entry.member("date")));
      return Schedule::Entry{date, snapshots.hold(entry.value())};
    });
    return std::make_pair(std::move(entries), reloadAt);
  } catch (const fields::DecodeError&) {
    return std::nullopt;
  }
}

}  // namespace vx::desktop
