#include "model/snapshot.hpp"

#include <gtest/gtest.h>

namespace vx {
namespace {

Time atMs(std::int64_t ms) {
  return Time(std::chrono::milliseconds(ms));
}

WaitingItem item(std::string id, std::int64_t sinceMs) {
  WaitingItem result;
  result.id = std::move(id);
  result.since = atMs(sinceMs);
  return result;
}

ProjectEntry project(std::string slug, std::vector<WaitingItem> waiting) {
  ProjectEntry entry;
  entry.slug = std::move(slug);
  entry.waiting = std::move(waiting);
  return entry;
}

std::vector<std::string> ids(const std::vector<WaitingItem>& items) {
  std::vector<std::string> result;
  for (const WaitingItem& each : items) result.push_back(each.id);
  return result;
}

TEST(WidgetPeriodTest, RawValuesTokensAndDaysFollowDeclarationOrder) {
  EXPECT_EQ(rawValue(WidgetPeriod::days28), "days28");
  EXPECT_EQ(queryToken(WidgetPeriod::days90), "90d");
  EXPECT_EQ(days(WidgetPeriod::days30), 30);
  EXPECT_EQ(widgetPeriodFromRaw("days7"), WidgetPeriod::days7);
  EXPECT_EQ(widgetPeriodFromRaw("Days7"), std::nullopt);
  EXPECT_EQ(widgetPeriodFromRaw(""), std::nullopt);
}

TEST(SnapshotLookupTest, UpdatedAtFallsBackToAtWithoutThePeriodsStamp) {
  Snapshot snapshot;
  snapshot.at = atMs(1000);
  snapshot.periodAt["days7"] = atMs(2000);
  EXPECT_EQ(snapshot.updatedAt(WidgetPeriod::days7), atMs(2000));
  EXPECT_EQ(snapshot.updatedAt(WidgetPeriod::days28), atMs(1000));
}

TEST(SnapshotLookupTest, MetricsAreAbsentForAPeriodNotHeld) {
  ProjectEntry entry;
  entry.metricsByPeriod["days7"].visitors = 5;
  ASSERT_TRUE(entry.metrics(WidgetPeriod::days7));
  EXPECT_EQ(entry.metrics(WidgetPeriod::days7)->visitors, 5);
  EXPECT_FALSE(entry.metrics(WidgetPeriod::days90));
  EXPECT_EQ(entry.id(), entry.slug);
}

TEST(MergedWaitingTest, LaterSinceFirstAndEqualTimesKeepProjectOrder) {
  Snapshot snapshot;
  snapshot.projects = {project("a", {item("a1", 100), item("a2", 300)}),
                       project("b", {item("b1", 300), item("b2", 200)}), project("c", {})};
  EXPECT_EQ(ids(snapshot.waiting()), (std::vector<std::string>{"a2", "b1", "b2", "a1"}));
}

TEST(MergedWaitingTest, NoProjectsOrEmptyListsGiveNothing) {
  Snapshot snapshot;
  EXPECT_TRUE(snapshot.waiting().empty());
  snapshot.projects = {project("a", {}), project("b", {})};
  EXPECT_TRUE(snapshot.waiting().empty());
}

}  // namespace
}  // namespace vx
