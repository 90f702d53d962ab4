#include "desktop/schedule.hpp"

#include <gtest/gtest.h>

namespace vx::desktop {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;

const Instant kStart = Instant(std::chrono::milliseconds(1'800'000'000'000));

Schedule::Entry entryAt(Instant date, const std::string& tag) {
  return {date, {{{"date", date.time_since_epoch().count() / 1000}, {"tag", tag}}, nullptr}};
}

std::vector<std::string> shownTags(const Schedule::Due& due) {
  std::vector<std::string> tags;
  for (const auto& show : due.shows) tags.push_back(show.entry.fields.at("tag").get<std::string>());
  return tags;
}

// A widget fed timelines that always ask again 15 minutes on, driven minute by minute.
struct Widget {
  Schedule schedule;
  Instant now = kStart;
  int reloads = 0;

  Widget() { schedule.add("w"); }
  void runUntil(Instant end) {
    for (; now < end; now += minutes(1)) {
      const auto due = schedule.due(now);
      for (const auto& id : due.reloads) {
        ++reloads;
        schedule.timelineArrived(id, {entryAt(now, "e")}, now + minutes(15));
      }
    }
  }
};

TEST(ScheduleEntries, EachEntryShowsFromItsDateOnAndNotBefore) {
  Schedule schedule;
  schedule.add("w");
  ASSERT_EQ(schedule.due(kStart).reloads, std::vector<std::string>{"w"});
  schedule.timelineArrived("w", {entryAt(kStart + minutes(10), "later"), entryAt(kStart, "now")},
                           kStart + minutes(15));
  EXPECT_EQ(shownTags(schedule.due(kStart)), std::vector<std::string>{"now"});
  EXPECT_EQ(schedule.nextWake(), kStart + minutes(10));
  EXPECT_TRUE(schedule.due(kStart + minutes(10) - seconds(1)).shows.empty());
  EXPECT_EQ(shownTags(schedule.due(kStart + minutes(10))), std::vector<std::string>{"later"});
  // Nothing is shown twice.
  EXPECT_TRUE(schedule.due(kStart + minutes(11)).shows.empty());
}

TEST(ScheduleEntries, AWidgetThatWokeLateShowsOnlyTheLatestDueEntry) {
  Schedule schedule;
  schedule.add("w");
  (void)schedule.due(kStart);
  schedule.timelineArrived("w", {entryAt(kStart, "a"), entryAt(kStart + minutes(5), "b")},
                           kStart + minutes(15));
  EXPECT_EQ(shownTags(schedule.due(kStart + minutes(6))), std::vector<std::string>{"b"});
}

TEST(ScheduleReloads, ATimelineIsAskedForAgainAtItsReloadDate) {
  Schedule schedule;
  schedule.add("w");
  (void)schedule.due(kStart);
  EXPECT_TRUE(schedule.due(kStart).reloads.empty());  // under way: not asked twice
  schedule.timelineArrived("w", {entryAt(kStart, "a")}, kStart + minutes(40));
  EXPECT_TRUE(schedule.due(kStart + minutes(40) - seconds(1)).reloads.empty());
  EXPECT_EQ(schedule.nextWake(), kStart + minutes(40));
  EXPECT_EQ(schedule.due(kStart + minutes(40)).reloads, std::vector<std::string>{"w"});
}

TEST(ScheduleReloads, TheDailyBudgetHoldsWhateverTheExtensionAsks) {
  Widget widget;
  widget.runUntil(kStart + std::chrono::hours(24));
  // The first timeline is free; the widget's own reloads stay within the budget.
  EXPECT_LE(widget.reloads - 1, kDailyReloads);
  EXPECT_GE(widget.reloads - 1, kDailyReloads - 1);  // and the budget is used, not starved
}

TEST(ScheduleReloads, TheApplicationsReloadIsImmediateAndOutsideTheBudget) {
  Widget widget;
  widget.runUntil(kStart + minutes(20));  // first timeline, then one budgeted reload at 15 min
  const int before = widget.reloads;
  widget.schedule.reloadAll();
  EXPECT_EQ(widget.schedule.due(widget.now).reloads.size(), 1u);
  widget.schedule.timelineArrived("w", {entryAt(widget.now, "fresh")}, widget.now + minutes(15));
  EXPECT_EQ(shownTags(widget.schedule.due(widget.now)), std::vector<std::string>{"fresh"});
  // A burst of reloads while one is under way costs one more request, not one each.
  widget.schedule.reloadAll();
  ASSERT_EQ(widget.schedule.due(widget.now).reloads.size(), 1u);
  for (int i = 0; i < 50; ++i) widget.schedule.reloadAll();
  EXPECT_TRUE(widget.schedule.due(widget.now).reloads.empty());
  widget.schedule.timelineArrived("w", {entryAt(widget.now, "x")}, widget.now + minutes(15));
  EXPECT_EQ(widget.schedule.due(widget.now).reloads.size(), 1u);
  EXPECT_EQ(widget.reloads, before);
}

TEST(ScheduleReloads, AFailedRequestIsRetriedAMinuteLater) {
  Schedule schedule;
  schedule.add("w");
  (void)schedule.due(kStart);
  schedule.timelineFailed("w", kStart);
  EXPECT_TRUE(schedule.due(kStart + seconds(59)).reloads.empty());
  EXPECT_EQ(schedule.due(kStart + seconds(60)).reloads.size(), 1u);
}

TEST(ScheduleWidgets, ARemovedWidgetIgnoresItsLateAnswer) {
  Schedule schedule;
  schedule.add("w");
  (void)schedule.due(kStart);
  schedule.remove("w");
  schedule.timelineArrived("w", {entryAt(kStart, "a")}, kStart + minutes(15));
  EXPECT_TRUE(schedule.due(kStart).shows.empty());
  EXPECT_FALSE(schedule.nextWake());
}

TEST(ReadTimeline, TakesTheExtensionsAnswerAndRejectsOtherShapes) {
  SnapshotPool pool;
  const auto read = readTimeline(
      nlohmann::json::parse(R"({"entries":[{"date":1000,"message":"m"}],"reloadAt":901000})"),
      pool);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->first.at(0).date, Instant(std::chrono::seconds(1)));
  EXPECT_EQ(read->second, Instant(std::chrono::seconds(901)));
  for (const char* bad :
       {R"([])", R"({"entries":[]})", R"({"entries":[{"message":"m"}],"reloadAt":1})",
        R"({"entries":{},"reloadAt":1})", R"({"entries":[],"reloadAt":"soon"})",
        R"({"entries":[],"reloadAt":1.0})"}) {
    EXPECT_FALSE(readTimeline(nlohmann::json::parse(bad), pool)) << bad;
  }
}

// Entries carrying equal snapshots, in one timeline or in timelines of several widgets, hold one
// tree of it, and hand each entry back to the extension as it was written.
TEST(ReadTimeline, EqualSnapshotsAreHeldOnce) {
  SnapshotPool pool;
  const auto answer = [](const char* b) {
    return nlohmann::json::parse(
        std::string(R"({"reloadAt":9000,"entries":[{"date":1000,"snapshot":{"a":[1,2]}},)") +
        R"({"date":2000,"snapshot":{"a":[1,2]}},{"date":3000,"snapshot":)" + b + R"(},)" +
        R"({"date":4000}]})");
  };
  auto first = readTimeline(answer(R"({"a":[1,3]})"), pool);
  ASSERT_TRUE(first);
  const auto& entries = first->first;
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].entry.snapshot, entries[1].entry.snapshot);
  EXPECT_NE(entries[0].entry.snapshot, entries[2].entry.snapshot);
  EXPECT_EQ(entries[3].entry.snapshot, nullptr);
  EXPECT_FALSE(entries[0].entry.fields.contains("snapshot"));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].entry.whole(), answer(R"({"a":[1,3]})")["entries"][i]) << i;
  }

  // Another widget's timeline shares what is held still, and a snapshot no entry holds any
  // longer is not kept.
  const auto second = readTimeline(answer(R"({"a":[1,2]})"), pool);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->first[2].entry.snapshot, entries[0].entry.snapshot);
  const std::weak_ptr<const nlohmann::json> gone = second->first[0].entry.snapshot;
  const std::weak_ptr<const nlohmann::json> other = entries[2].entry.snapshot;
  first.reset();
  EXPECT_FALSE(gone.expired());
  EXPECT_TRUE(other.expired());
}

}  // namespace
}  // namespace vx::desktop
