// The driver's one-shot commands, run as real processes.

#include <gtest/gtest.h>

#include "driver_fixture.hpp"

namespace vx::testing {
namespace {

using nlohmann::json;

TEST_F(DriverTest, KindsCarryThePushHandlerFromPlatform26) {
  const auto current = runDriver({"kinds"});
  ASSERT_EQ(current.status, 0) << current.error;
  const json kinds = parsed(current);
  ASSERT_EQ(kinds.size(), 3u);
  EXPECT_EQ(kinds[0]["kind"], "ProjectSummaryWidget");
  EXPECT_EQ(kinds[1]["kind"], "AllProjectsWidget");
  EXPECT_EQ(kinds[2]["kind"], "WaitingWidget");
  EXPECT_EQ(kinds[2]["name"], "Needs you");
  EXPECT_EQ(kinds[1]["families"], json({"systemMedium", "systemLarge", "systemExtraLarge"}));
  EXPECT_EQ(kinds[0]["configuration"]["title"], "Project and period");
  const json& period = kinds[1]["configuration"]["parameters"][0];
  EXPECT_EQ(period["default"], "days7");
  EXPECT_EQ(period["choices"][3], json({{"value", "days90"}, {"label", "90 days"}}));
  EXPECT_EQ(kinds[2]["configuration"]["parameters"][0]["default"], true);
  for (const json& kind : kinds) EXPECT_EQ(kind["pushHandler"], true);

  const auto older = runDriver({"kinds", "--platform-version", "25"});
  ASSERT_EQ(older.status, 0);
  for (const json& kind : parsed(older)) EXPECT_EQ(kind["pushHandler"], false);
}

TEST_F(DriverTest, BadInvocationsPrintUsageAndExitTwo) {
  const std::vector<std::vector<std::string>> invocations = {
      {},
      {"bogus"},
      {"kinds", "projects"},
      {"timeline"},
      {"timeline", "--kind"},
      {"timeline", "--kind", "ClockWidget"},
      {"placeholder", "--kind", "ClockWidget"},
      {"kinds", "--kind", "WaitingWidget"},
      {"placeholder", "--kind", "WaitingWidget", "--show-details", "false"},
      {"timeline", "--kind", "WaitingWidget", "--period", "days7"},
      {"timeline", "--kind", "AllProjectsWidget", "--project", "alpha"},
      {"preview", "--kind", "WaitingWidget", "--show-details", "yes"},
      {"timeline", "--kind", "ProjectSummaryWidget", "--project", ""},
      {"kinds", "--platform-version", "twenty"},
      {"kinds", "--push-token", "0g"},
      {"kinds", "--now", "noon"},
      {"kinds", "--now", "1", "--now", "2"},
      {"kinds", "--verbose"},
  };
  for (const auto& arguments : invocations) {
    const auto result = runDriver(arguments);
    std::string shown;
    for (const auto& argument : arguments) shown += argument + " ";
    EXPECT_EQ(result.status, 2) << shown;
    EXPECT_EQ(result.output, "") << shown;
    EXPECT_NE(result.error.find("Usage: vantorix-widgets"), std::string::npos) << shown;
  }
}

TEST_F(DriverTest, PlaceholderUsesDefaultsAndThePinnedClock) {
  const auto result =
      runDriver({"placeholder", "--kind", "ProjectSummaryWidget", "--now", nowOption()});
  ASSERT_EQ(result.status, 0) << result.error;
  EXPECT_EQ(parsed(result), json({{"date", millis(kNow)},
                                  {"message", "Open Vantorix to load your projects"},
                                  {"configuration", {{"period", "days7"}}}}));
}

TEST_F(DriverTest, TimelineWithUnknownPeriodShowsSevenDays) {
  signIn();
  serveProjects({"alpha", "beta"});
  const auto result = runDriver(
      {"timeline", "--kind", "AllProjectsWidget", "--period", "days12", "--now", nowOption()});
  ASSERT_EQ(result.status, 0) << result.error;
  const json timeline = parsed(result);

  ASSERT_EQ(timeline["entries"].size(), 3u);
  EXPECT_EQ(timeline["entries"][0]["date"], millis(kNow));
  EXPECT_EQ(timeline["entries"][1]["date"], millis(kNow) + 900'000);
  EXPECT_EQ(timeline["entries"][2]["date"], millis(kMidnight));
  EXPECT_EQ(timeline["reloadAt"], millis(kNow) + 900'000);
  const json& entry = timeline["entries"][0];
  EXPECT_EQ(entry["configuration"], json({{"period", "days7"}}));
  EXPECT_EQ(entry["snapshot"]["projects"][1]["slug"], "beta");
  EXPECT_EQ(entry["snapshot"]["projects"][1]["metricsByPeriod"]["days7"]["visitors"], 12);
  EXPECT_EQ(
      fake_
          .requests("GET", "/v1/projects/alpha/analytics/summary?period=7d&compare=previous_period")
          .size(),
      1u);
  EXPECT_EQ(result.output.find("session-token"), std::string::npos);
}

TEST_F(DriverTest, SummaryTimelineEchoesTheChosenProject) {
  signIn();
  serveProjects({"alpha"});
  const auto result = runDriver({"timeline", "--kind", "ProjectSummaryWidget", "--project", "alpha",
                                 "--period", "days28", "--now", nowOption()});
  ASSERT_EQ(result.status, 0) << result.error;
  EXPECT_EQ(parsed(result)["entries"][0]["configuration"],
            json({{"project", {{"id", "alpha"}, {"name", "alpha"}}}, {"period", "days28"}}));
  EXPECT_FALSE(
      fake_
          .requests("GET",
                    "/v1/projects/alpha/analytics/summary?period=28d&compare=previous_period")
          .empty());
}

TEST_F(DriverTest, ProjectSlugTakesItsNameFromTheCache) {
  SharedStore::save(snapshotAt(kNow, {"alpha"}));
  const auto known = runDriver({"preview", "--kind", "ProjectSummaryWidget", "--project", "alpha"});
  ASSERT_EQ(known.status, 0) << known.error;
  EXPECT_EQ(parsed(known)["configuration"]["project"],
            json({{"id", "alpha"}, {"name", "alpha.example"}}));
  const auto unknown =
      runDriver({"preview", "--kind", "ProjectSummaryWidget", "--project", "zeta"});
  ASSERT_EQ(unknown.status, 0) << unknown.error;
  EXPECT_EQ(parsed(unknown)["configuration"]["project"], json({{"id", "zeta"}, {"name", "zeta"}}));
}

TEST_F(DriverTest, EntryDatesAreWholeMillisecondsOnTheSystemClock) {
  const auto placeholder = runDriver({"placeholder", "--kind", "WaitingWidget"});
  ASSERT_EQ(placeholder.status, 0) << placeholder.error;
  EXPECT_TRUE(parsed(placeholder)["date"].is_number_integer()) << placeholder.output;
  const auto timeline = runDriver({"timeline", "--kind", "WaitingWidget"});
  ASSERT_EQ(timeline.status, 0) << timeline.error;
  const json answer = parsed(timeline);
  EXPECT_TRUE(answer["entries"][0]["date"].is_number_integer()) << timeline.output;
  EXPECT_TRUE(answer["reloadAt"].is_number_integer()) << timeline.output;
}

TEST_F(DriverTest, SignedOutTimelineLeavesTheSnapshotOut) {
  const auto result = runDriver(
      {"timeline", "--kind", "WaitingWidget", "--show-details", "false", "--now", nowOption()});
  ASSERT_EQ(result.status, 0) << result.error;
  EXPECT_EQ(parsed(result), json({{"entries",
                                   {{{"date", millis(kNow)},
                                     {"message", "Open Vantorix to sign in"},
                                     {"configuration", {{"showDetails", false}}}}}},
                                  {"reloadAt", millis(kNow) + 900'000}}));
}

TEST_F(DriverTest, PreviewReadsTheCacheOnly) {
  signIn();
  serveProjects({"alpha"});
  SharedStore::save(snapshotAt(kNow - std::chrono::hours(5), {"cached"}));
  const auto result = runDriver({"preview", "--kind", "AllProjectsWidget", "--now", nowOption()});
  ASSERT_EQ(result.status, 0) << result.error;
  const json entry = parsed(result);
  EXPECT_EQ(entry["snapshot"]["projects"][0]["slug"], "cached");
  EXPECT_EQ(entry["message"], "Open Vantorix to load your projects");
  EXPECT_EQ(fake_.requestCount(), 0u);
}

TEST_F(DriverTest, ProjectsOnAFreshInstallComeFromOneRefresh) {
  signIn();
  serveProjects({"beta", "alpha"});
  const auto result = runDriver({"projects", "--now", nowOption()});
  ASSERT_EQ(result.status, 0) << result.error;
  EXPECT_EQ(parsed(result), json({{{"id", "beta"}, {"name", "beta.example"}},
                                  {{"id", "alpha"}, {"name", "alpha.example"}}}));
  EXPECT_EQ(projectListRequests(), 1u);
}

}  // namespace
}  // namespace vx::testing
