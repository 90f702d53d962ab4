#include "widgets/providers.hpp"

#include <gtest/gtest.h>

#include "widgets_fixture.hpp"

namespace vx::widgets {
namespace {

using namespace std::chrono_literals;
using testing::kMidnight;
using testing::kNow;
using testing::snapshotAt;

class ProvidersTest : public testing::WidgetsTest {};

template <class Entry>
std::vector<Time> datesOf(const host::Timeline<Entry>& timeline) {
  std::vector<Time> dates;
  for (const Entry& entry : timeline.entries) dates.push_back(entry.date);
  return dates;
}

TEST_F(ProvidersTest, PlaceholderHasDefaultsAndNoSnapshot) {
  const auto summary = ProjectSummaryProvider().placeholder();
  EXPECT_EQ(summary.date, kNow);
  EXPECT_EQ(summary.snapshot, std::nullopt);
  EXPECT_EQ(summary.message, "Open Vantorix to load your projects");
  EXPECT_EQ(summary.configuration, ProjectSummaryIntent{});
  EXPECT_EQ(AllProjectsProvider().placeholder().configuration, AllProjectsIntent{});
  EXPECT_TRUE(WaitingProvider().placeholder().configuration.showDetails);
}

TEST_F(ProvidersTest, FreshSummaryTimelineRedrawsAtWindowEndAndMidnight) {
  signIn();
  serveProjects({"alpha", "beta"});
  ProjectSummaryIntent configuration{ProjectEntity{"beta", "beta.example"}, PeriodOption::days7};
  const auto timeline = ProjectSummaryProvider().timeline(configuration);

  EXPECT_EQ(datesOf(timeline), (std::vector<Time>{kNow, kNow + 15min, kMidnight}));
  for (const auto& entry : timeline.entries) {
    ASSERT_TRUE(entry.snapshot);
    EXPECT_EQ(entry.snapshot->projects.size(), 2u);
    EXPECT_EQ(entry.snapshot->projects[1].metrics(WidgetPeriod::days7)->visitors, 12);
    EXPECT_EQ(entry.message, "Open Vantorix to load your projects");
    EXPECT_EQ(entry.configuration, configuration);
  }
  EXPECT_EQ(timeline.policy.at, kNow + 15min);
}

TEST_F(ProvidersTest, KeptTwoHourOldSnapshotGivesNowAndMidnight) {
  signIn();
  SharedStore::save(snapshotAt(kNow - 2h, {"alpha"}));
  fake_.on("GET", "/v1/projects", testing::Answer{503, "{}"});

  const auto timeline = AllProjectsProvider().timeline(AllProjectsIntent{PeriodOption::days7});

  EXPECT_EQ(datesOf(timeline), (std::vector<Time>{kNow, kMidnight}));
  ASSERT_TRUE(timeline.entries[0].snapshot);
  EXPECT_EQ(timeline.entries[0].snapshot->at, kNow - 2h);
  EXPECT_EQ(timeline.entries[1].message, "Open Vantorix to load your projects");
  EXPECT_EQ(timeline.policy.at, kNow + 15min);
}

TEST_F(ProvidersTest, KeptWithoutSnapshotGivesOneEntryAskingToLoad) {
  signIn();
  fake_.on("GET", "/v1/projects", testing::Answer{500, "{}"});
  const auto timeline = ProjectSummaryProvider().timeline({});
  ASSERT_EQ(timeline.entries.size(), 1u);
  EXPECT_EQ(timeline.entries[0].snapshot, std::nullopt);
  EXPECT_EQ(timeline.entries[0].message, "Open Vantorix to load your projects");
}

TEST_F(ProvidersTest, SignedOutGivesOneSignInEntryForEveryKind) {
  // No session at all, and a cached snapshot that signing out must not show.
  SharedStore::save(snapshotAt(kNow - 1h, {"alpha"}));
  const auto summary = ProjectSummaryProvider().timeline({});
  const auto all = AllProjectsProvider().timeline({});
  const auto waiting = WaitingProvider().timeline({});

  auto check = [](const auto& timeline) {
    ASSERT_EQ(timeline.entries.size(), 1u);
    EXPECT_EQ(timeline.entries[0].date, kNow);
    EXPECT_EQ(timeline.entries[0].snapshot, std::nullopt);
    EXPECT_EQ(timeline.entries[0].message, "Open Vantorix to sign in");
    EXPECT_EQ(timeline.policy.at, kNow + 15min);
  };
  check(summary);
  check(all);
  check(waiting);
}

TEST_F(ProvidersTest, WaitingTimelineHasOneEntryWhateverTheSnapshotsAge) {
  signIn();
  serveProjects({"alpha"});
  const auto fresh = WaitingProvider().timeline(WaitingIntent{false});
  ASSERT_EQ(fresh.entries.size(), 1u);
  ASSERT_TRUE(fresh.entries[0].snapshot);
  EXPECT_EQ(fresh.entries[0].snapshot->at, kNow);
  EXPECT_FALSE(fresh.entries[0].configuration.showDetails);
  EXPECT_EQ(fresh.policy.at, kNow + 15min);

  SharedStore::save(snapshotAt(kNow - 2h, {"alpha"}));
  fake_.on("GET", "/v1/projects", testing::Answer{503, "{}"});
  const auto kept = WaitingProvider().timeline({});
  ASSERT_EQ(kept.entries.size(), 1u);
  EXPECT_EQ(kept.entries[0].snapshot->at, kNow - 2h);
}

TEST_F(ProvidersTest, SummaryAsksForTheConfiguredPeriod) {
  signIn();
  serveProjects({"alpha"});
  (void)ProjectSummaryProvider().timeline({std::nullopt, PeriodOption::days90});
  EXPECT_EQ(fake_
                .requests("GET",
                          "/v1/projects/alpha/analytics/summary?period=90d&compare=previous_period")
                .size(),
            1u);
}

TEST_F(ProvidersTest, PreviewNeverReachesTheNetwork) {
  signIn();
  serveProjects({"alpha"});
  for (const auto& entry :
       {ProjectSummaryProvider().snapshot({}).snapshot, AllProjectsProvider().snapshot({}).snapshot,
        WaitingProvider().snapshot({}).snapshot}) {
    EXPECT_EQ(entry, std::nullopt);
  }
  EXPECT_EQ(fake_.requestCount(), 0u);
}

TEST_F(ProvidersTest, PreviewShowsTheCacheAsItIsWithTheLoadMessage) {
  signIn();
  const Snapshot cached = snapshotAt(kNow - 3h, {"alpha", "beta"});
  SharedStore::save(cached);
  const WaitingIntent configuration{false};
  const auto entry = WaitingProvider().snapshot(configuration);
  EXPECT_EQ(entry.date, kNow);
  EXPECT_EQ(entry.snapshot, cached);
  EXPECT_EQ(entry.message, "Open Vantorix to load your projects");
  EXPECT_EQ(entry.configuration, configuration);
  EXPECT_EQ(fake_.requestCount(), 0u);
}

TEST_F(ProvidersTest, PreviewOfUndecodableCacheHasNoSnapshot) {
  testing::writeFile(sharedFolder() / SharedStore::kSnapshotFile, "{\"at\": \"yesterday\"}");
  EXPECT_EQ(AllProjectsProvider().snapshot({}).snapshot, std::nullopt);
}

}  // namespace
}  // namespace vx::widgets
