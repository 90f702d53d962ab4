#include "model/snapshot_json.hpp"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace vx {
namespace {

using nlohmann::json;

// The smallest document that decodes: the four snapshot keys and one project with only its
// required members.
json minimalDocument() {
  return json::parse(R"({
    "at": 1700000000000, "periodAt": {}, "projectCount": 1,
    "projects": [{"name": "example.com", "slug": "example", "faviconLetter": "E",
                  "faviconColor": "#06b6d4", "realtimeVisitors": 3, "waiting": [],
                  "waitingConversations": 0, "metricsByPeriod": {}}]
  })");
}

std::optional<Snapshot> decode(const json& document) {
  return decodeSnapshot(document.dump());
}

Snapshot fullSnapshot() {
  Snapshot snapshot;
  snapshot.at = Time(std::chrono::milliseconds(1700000000123));
  snapshot.periodAt["days28"] = Time(std::chrono::milliseconds(1700000005000));
  snapshot.projectCount = 12;
  ProjectEntry entry;
  entry.name = "shop.example";
  entry.slug = "shop";
  entry.timezone = "Europe/Berlin";
  entry.faviconLetter = "S";
  entry.faviconColor = "#f59e0b";
  entry.faviconFile = "favicon-shop.png";
  entry.realtimeVisitors = 7;
  entry.todayDisplay = "+12 today";
  WaitingItem item;
  item.id = "article:1";
  item.kind = WaitingItem::Kind::article;
  item.action = "Publish a scheduled article";
  item.privateAction = "Publish a scheduled article";
  item.detail = "Spring sale";
  item.site = "shop.example";
  item.slug = "shop";
  item.since = Time(std::chrono::milliseconds(1699999999000));
  item.path = "/app/projects/shop/ai-content-editor/1";
  entry.waiting = {item};
  entry.waitingConversations = 0;
  PeriodMetrics metrics;
  metrics.visitors = 1234;
  metrics.visitorsChange = -12.5;
  metrics.visitorsSeries = std::vector<double>{1, 2.5, 3};
  metrics.visitorsPreviousSeries = std::vector<double>{4};
  metrics.goal =
      GoalFigure{"Revenue", "$840", 840, 25.0, std::vector<double>{0, 840}, std::nullopt};
  entry.metricsByPeriod["days28"] = metrics;
  PeriodMetrics bare;
  bare.revenueDisplay = "$99.50";
  entry.metricsByPeriod["days7"] = bare;
  snapshot.projects = {entry};
  return snapshot;
}

TEST(SnapshotJsonTest, EveryFieldSurvivesARoundTrip) {
  Snapshot snapshot = fullSnapshot();
  auto encoded = encodeSnapshot(snapshot);
  ASSERT_TRUE(encoded);
  auto decoded = decodeSnapshot(*encoded);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(*decoded, snapshot);
}

TEST(SnapshotJsonTest, WritesTheDocumentsKeysAndLeavesEmptyOptionalsOut) {
  json written = json::parse(*encodeSnapshot(fullSnapshot()));
  EXPECT_EQ(written["at"], 1700000000123);
  EXPECT_TRUE(written["at"].is_number_integer());
  EXPECT_EQ(written["periodAt"]["days28"], 1700000005000);
  const json& project = written["projects"][0];
  EXPECT_EQ(project["waiting"][0]["kind"], "article");
  EXPECT_EQ(project["waiting"][0]["since"], 1699999999000);
  const json& bare = project["metricsByPeriod"]["days7"];
  EXPECT_EQ(bare, json::parse(R"({"visitors": 0, "revenueDisplay": "$99.50"})"));
  EXPECT_FALSE(project["metricsByPeriod"]["days28"]["goal"].contains("previousSeries"));
}

TEST(SnapshotJsonTest, MinimalDocumentDecodes) {
  auto snapshot = decode(minimalDocument());
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->projectCount, 1);
  ASSERT_EQ(snapshot->projects.size(), 1u);
  EXPECT_EQ(snapshot->projects[0].realtimeVisitors, 3);
  EXPECT_FALSE(snapshot->projects[0].timezone);
}

TEST(SnapshotJsonTest, FractionalMillisecondsAreKept) {
  json document = minimalDocument();
  document["at"] = 1700000000123.25;
  auto snapshot = decode(document);
  ASSERT_TRUE(snapshot);
  auto micros =
      std::chrono::duration_cast<std::chrono::microseconds>(snapshot->at.time_since_epoch());
  EXPECT_EQ(micros.count(), 1700000000123250);
  json again = json::parse(*encodeSnapshot(*snapshot));
  EXPECT_DOUBLE_EQ(again["at"].get<double>(), 1700000000123.25);
}

TEST(SnapshotJsonTest, DatesFromYearOneToYearNineThousandSurviveARoundTrip) {
  for (double ms : {-62135596800000.0, -8520336000000.0, 253402300799999.5}) {
    json document = minimalDocument();
    document["at"] = ms;
    auto snapshot = decode(document);
    ASSERT_TRUE(snapshot) << ms;
    EXPECT_EQ(json::parse(*encodeSnapshot(*snapshot))["at"].get<double>(), ms);
  }
  json beyond = minimalDocument();
  beyond["at"] = 1e300;
  EXPECT_FALSE(decode(beyond));
}

TEST(SnapshotJsonTest, NullAndMissingOptionalsMeanNothingAndUnknownKeysAreIgnored) {
  json document = minimalDocument();
  document["extra"] = {{"nested", true}};
  document["projects"][0]["timezone"] = nullptr;
  document["projects"][0]["unknown"] = 1;
  document["projects"][0]["metricsByPeriod"]["days7"] = {
      {"visitors", 4}, {"goal", nullptr}, {"visitorsSeries", nullptr}, {"other", "x"}};
  auto snapshot = decode(document);
  ASSERT_TRUE(snapshot);
  auto metrics = snapshot->projects[0].metrics(WidgetPeriod::days7);
  ASSERT_TRUE(metrics);
  EXPECT_EQ(metrics->visitors, 4);
  EXPECT_FALSE(metrics->goal);
  EXPECT_FALSE(metrics->visitorsSeries);
}

// Each change breaks one rule; the whole document must fail, never decode partly.
TEST(SnapshotJsonTest, EachMalformedDocumentFailsAsAWhole) {
  struct Case {
    const char* what;
    std::function<void(json&)> spoil;
  };
  const std::vector<Case> cases = {
      {"required visitors null",
       [](json& d) {
         d["projects"][0]["metricsByPeriod"]["days7"] = {{"visitors", nullptr}};
       }},
      {"missing at", [](json& d) { d.erase("at"); }},
      {"date as text", [](json& d) { d["at"] = "1700000000000"; }},
      {"integer with a fraction", [](json& d) { d["projectCount"] = 1.5; }},
      {"integer beyond 64 bits", [](json& d) { d["projectCount"] = 9223372036854775808ull; }},
      {"integer far beyond 64 bits", [](json& d) { d["projects"][0]["realtimeVisitors"] = 1e300; }},
      {"unknown kind",
       [](json& d) {
         d["projects"][0]["waiting"] = json::parse(
             R"([{"id":"x","kind":"chat","action":"","privateAction":"","detail":"",
                  "site":"","slug":"","since":0,"path":""}])");
       }},
      {"text where a list is expected", [](json& d) { d["projects"][0]["waiting"] = "none"; }},
      {"wrong kind in a series",
       [](json& d) {
         d["projects"][0]["metricsByPeriod"]["days7"] = {{"visitors", 1},
                                                         {"visitorsSeries", {1, "2"}}};
       }},
      {"period stamp as text", [](json& d) { d["periodAt"]["days7"] = "soon"; }},
      {"not an object", [](json& d) { d = json::array(); }},
  };
  for (const Case& each : cases) {
    json document = minimalDocument();
    each.spoil(document);
    EXPECT_FALSE(decode(document)) << each.what;
  }
  EXPECT_FALSE(decodeSnapshot("{\"at\": 1,"));
  EXPECT_FALSE(decodeSnapshot(""));
}

TEST(SnapshotJsonTest, IntegralRealAcceptedForIntegers) {
  json document = minimalDocument();
  document["projectCount"] = 12.0;
  auto snapshot = decode(document);
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->projectCount, 12);
}

TEST(SnapshotJsonTest, NonFiniteRealsAreNotEncoded) {
  const double bad[] = {std::nan(""), std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity()};
  for (double value : bad) {
    Snapshot inChange = fullSnapshot();
    inChange.projects[0].metricsByPeriod["days28"].visitorsChange = value;
    EXPECT_FALSE(encodeSnapshot(inChange));
    Snapshot inSeries = fullSnapshot();
    inSeries.projects[0].metricsByPeriod["days28"].goal->series->push_back(value);
    EXPECT_FALSE(encodeSnapshot(inSeries));
    Snapshot inGoal = fullSnapshot();
    inGoal.projects[0].metricsByPeriod["days28"].goal->value = value;
    EXPECT_FALSE(snapshotToJson(inGoal));
  }
}

}  // namespace
}  // namespace vx
