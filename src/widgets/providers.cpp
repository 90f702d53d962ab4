#include "widgets/providers.hpp"

#include <vector>

#include "store/shared_store.hpp"
#include "widgets/draw_dates.hpp"
#include "widgets/end_if_replaced.hpp"

namespace vx::widgets {
namespace {

using Outcome = refresh::Fetcher::Outcome;

// The same for every kind: now, nothing to draw, and a configuration of defaults. No input or
// output, no shared state.
template <class Entry>
Entry placeholderEntry() {
  return Entry{clock::now(), std::nullopt, std::string(kLoadProjectsMessage),
               typename Entry::ConfigurationType{}};
}

// The gallery's quick look: the cached snapshot as it is, never the refresh engine.
template <class Entry>
Entry previewEntry(const typename Entry::ConfigurationType& configuration) {
  // 1. A replaced bundle ends the process here.
  endIfReplaced();
  // 2. The entry's date.
  const Time date = clock::now();
  // 3. A missing folder or file, or one that does not decode, is simply no snapshot.
  SharedSnapshot cached(SharedStore::sharedSnapshot());
  // 4. One entry with whatever is cached.
  return Entry{date, std::move(cached), std::string(kLoadProjectsMessage), configuration};
}

// Steps 6 to 8 of every timeline: one entry per date sharing the snapshot and message, and a
// reload interval counted from when the entries are done.
template <class Entry>
host::Timeline<Entry> timelineOf(const std::vector<Time>& dates, const Shown& shown,
                                 const typename Entry::ConfigurationType& configuration) {
  host::Timeline<Entry> timeline;
  timeline.entries.reserve(dates.size());
  for (const Time date : dates) {
    timeline.entries.push_back(Entry{date, shown.snapshot, shown.message, configuration});
  }
  const Time reload = clock::addSeconds(clock::now(), kReloadInterval);
  timeline.policy = host::TimelineReloadPolicy::after(reload);
  return timeline;
}

// The summary and all-projects timelines, which differ only in their entry type.
template <class Entry>
host::Timeline<Entry> periodTimeline(const typename Entry::ConfigurationType& configuration) {
  // 1. A replaced bundle ends the process here.
  endIfReplaced();
  // 2. The period the configuration names.
  const WidgetPeriod period = resolvePeriod(configuration.period);
  // 3. The current snapshot for it.
  const Outcome outcome = refresh::Fetcher::shared().current(period);
  // 4. What the entries show.
  const Shown what = shown(outcome);
  // 5. The live figure stops counting as current one window after the snapshot was taken.
  const Time now = clock::now();
  const std::vector<Time> dates =
      what.snapshot ? drawDates(clock::addSeconds(what.snapshot->at, kRealtimeWindow), now)
                    : std::vector<Time>{now};
  // 6. to 8.
  return timelineOf<Entry>(dates, what, configuration);
}

}  // namespace

Shown shown(const Outcome& outcome) {
  switch (outcome.kind) {
    // 1. A fresh snapshot.
    case Outcome::Kind::fresh:
    // 2. A kept answer may carry no snapshot; the message is the same.
    case Outcome::Kind::kept:
      return Shown{outcome.snapshot, std::string(kLoadProjectsMessage)};
    // 3. Signed out: no snapshot, and the sign-in message.
    case Outcome::Kind::signedOut:
      break;
  }
  return Shown{std::nullopt, std::string(kSignInMessage)};
}

ProjectSummaryEntry ProjectSummaryProvider::placeholder() const {
  return placeholderEntry<Entry>();
}

ProjectSummaryEntry ProjectSummaryProvider::snapshot(const Configuration& configuration) const {
  return previewEntry<Entry>(configuration);
}

host::Timeline<ProjectSummaryEntry> ProjectSummaryProvider::timeline(
    const Configuration& configuration) const {
  return periodTimeline<Entry>(configuration);
}

AllProjectsEntry AllProjectsProvider::placeholder() const {
  return placeholderEntry<Entry>();
}

AllProjectsEntry AllProjectsProvider::snapshot(const Configuration& configuration) const {
  return previewEntry<Entry>(configuration);
}

host::Timeline<AllProjectsEntry> AllProjectsProvider::timeline(
    const Configuration& configuration) const {
  return periodTimeline<Entry>(configuration);
}

WaitingEntry WaitingProvider::placeholder() const {
  return placeholderEntry<Entry>();
}

WaitingEntry WaitingProvider::snapshot(const Configuration& configuration) const {
  return previewEntry<Entry>(configuration);
}

host::Timeline<WaitingEntry> WaitingProvider::timeline(const Configuration& configuration) const {
  // 1. A replaced bundle ends the process here.
  endIfReplaced();
  // 2. The waiting list does not depend on a period.
  const Outcome outcome = refresh::Fetcher::shared().current(std::nullopt);
  // 3. What the entry shows.
  const Shown what = shown(outcome);
  // 4. Exactly one entry, whatever the snapshot's age; 5. the timeline with its reload date.
  return timelineOf<Entry>({clock::now()}, what, configuration);
}

}  // namespace vx::widgets
