// The analytics answers agree with each other and with the calendar: a period's summary is the
// sum of its series, the series covers exactly the window's days in the project's zone, the
// change is measured against the previous window's series, and nothing moves within a day.

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "demo/catalogue.hpp"
#include "demo_fixture.hpp"

namespace vx::demo {
namespace {

using nlohmann::json;
using testing::at;
using testing::DemoServiceTest;

struct Period {
  const char* code;
  int days;
};
constexpr Period kPeriods[] = {{"7d", 7}, {"28d", 28}, {"30d", 30}, {"90d", 90}};

std::string path(const std::string& slug, const std::string& rest) {
  return "/v1/projects/" + slug + "/analytics/" + rest;
}

std::string custom(const std::string& from, const std::string& to) {
  return "period=custom&from=" + from + "&to=" + to + "&interval=day";
}

double seriesSum(const json& series) {
  double sum = 0;
  for (const auto& point : series.at("data")) {
    if (point.contains("visitors") && !point["visitors"].is_null()) {
      sum += point["visitors"].get<double>();
    }
  }
  return sum;
}

std::string shifted(const std::string& day, int days) {
  return dayText(*parseDay(day) + std::chrono::days(days));
}

// Today at noon UTC on 10 March 2026 in each project's zone: every zone of the account is
// still on the 10th except Kiritimati (UTC+14), which is on the 11th.
std::string todayAtNoon(const Profile& p) {
  return p.timezone == "Pacific/Kiritimati" ? "2026-03-11" : "2026-03-10";
}

class AnalyticsTest : public DemoServiceTest {
 protected:
  void SetUp() override {
    DemoServiceTest::SetUp();
    ServiceOptions options;
    options.projects = catalogueSize();
    start(options);
  }
  const std::vector<Profile> projects = catalogue(catalogueSize());
};

TEST_F(AnalyticsTest, PeriodSummaryIsTheSumOfItsSeriesOverTheWindowDays) {
  for (const Profile& p : projects) {
    for (const Period& period : kPeriods) {
      SCOPED_TRACE(p.slug + " " + period.code);
      const std::string today = todayAtNoon(p);
      const std::string from = shifted(today, -period.days);
      const std::string to = shifted(today, -1);
      const json summary = fetch(
          path(p.slug, "summary?period=" + std::string(period.code) + "&compare=previous_period"));
      const json series =
          fetch(path(p.slug, "timeseries?period=" + std::string(period.code) + "&interval=day"));
      EXPECT_EQ(summary.at("visitors").get<double>(), seriesSum(series));
      for (const auto& point : series.at("data")) {
        const std::string day = point.at("date").get<std::string>().substr(0, 10);
        EXPECT_LE(from, day);
        EXPECT_GE(to, day);
      }
      // Asking for the same days by range gives the same points.
      EXPECT_EQ(fetch(path(p.slug, "timeseries?" + custom(from, to))), series);
    }
  }
}

TEST_F(AnalyticsTest, VisitorsChangeIsMeasuredAgainstThePreviousWindowSeries) {
  int withChange = 0;
  int withoutChange = 0;
  for (const Profile& p : projects) {
    for (const Period& period : kPeriods) {
      SCOPED_TRACE(p.slug + " " + period.code);
      const std::string today = todayAtNoon(p);
      const json summary = fetch(
          path(p.slug, "summary?period=" + std::string(period.code) + "&compare=previous_period"));
      const double previous =
          seriesSum(fetch(path(p.slug, "timeseries?" + custom(shifted(today, -2 * period.days),
                                                              shifted(today, -period.days - 1)))));
      if (previous <= 0) {
        EXPECT_FALSE(summary.contains("visitors_change"));
        ++withoutChange;
        continue;
      }
      const double expected = (summary.at("visitors").get<double>() - previous) / previous * 100;
      ASSERT_TRUE(summary.contains("visitors_change"));
      EXPECT_NEAR(summary["visitors_change"].get<double>(), expected, 0.051);
      ++withChange;
    }
  }
  EXPECT_GT(withChange, 0);
  EXPECT_GT(withoutChange, 0);  // the project without traffic, the young project's long periods
}

TEST_F(AnalyticsTest, PeriodAnswersStayTheSameWithinTheDay) {
  std::vector<std::string> paths;
  for (const Profile& p : projects) {
    paths.push_back(path(p.slug, "summary?period=30d&compare=previous_period"));
    paths.push_back(path(p.slug, "timeseries?period=90d&interval=day"));
    paths.push_back(path(p.slug, "business-report?period=7d&compare=previous_period&interval=day"));
  }
  std::vector<std::string> noon;
  for (const auto& p : paths) noon.push_back(body(p));

  vx::clock::pin(at("2026-03-10T12:45:00Z"));
  for (std::size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(body(paths[i]), noon[i]) << paths[i];

  // Another service started afresh answers the same.
  Service other([] {
    ServiceOptions o;
    o.port = 0;
    o.projects = catalogueSize();
    return o;
  }());
  ASSERT_EQ(other.start(), "");
  httplib::Client c("127.0.0.1", other.port());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    auto res = c.Get(paths[i].c_str(), {{"Authorization", std::string("Bearer ") + kDefaultToken}});
    ASSERT_TRUE(res);
    EXPECT_EQ(res->body, noon[i]) << paths[i];
  }
}

TEST_F(AnalyticsTest, ProjectWindowsFollowTheProjectZone) {
  const auto lastDay = [&](const std::string& slug, const char* now) {
    vx::clock::pin(at(now));
    const json week = fetch(path(slug, "timeseries?period=7d&interval=day"));
    // The window ends on the day whose 7-day range gives the same points, dates included.
    for (const char* candidate : {"2026-03-08", "2026-03-09", "2026-03-10"}) {
      if (fetch(path(slug, "timeseries?" + custom(shifted(candidate, -6), candidate))) == week) {
        return std::string(candidate);
      }
    }
    return std::string("none");
  };
  // Kiritimati turns to the next day at 10:00 UTC.
  EXPECT_EQ(lastDay("atlas-bikes", "2026-03-10T09:30:00Z"), "2026-03-09");
  EXPECT_EQ(lastDay("atlas-bikes", "2026-03-10T10:30:00Z"), "2026-03-10");
  EXPECT_EQ(lastDay("pinecone", "2026-03-10T10:30:00Z"), "2026-03-09");
  // Honolulu is still on the 9th at 08:00 UTC; a zone nobody knows counts as UTC.
  EXPECT_EQ(lastDay("reef-surf", "2026-03-10T08:00:00Z"), "2026-03-08");
  EXPECT_EQ(lastDay("red-dust", "2026-03-10T00:30:00Z"), "2026-03-09");
}

TEST_F(AnalyticsTest, TodaySummaryGrowsThroughTheDay) {
  vx::clock::pin(at("2026-03-10T06:00:00Z"));
  const json morning = fetch(path("northwind", "summary?period=today"));
  vx::clock::pin(at("2026-03-10T18:00:00Z"));
  const json evening = fetch(path("northwind", "summary?period=today"));
  EXPECT_LT(morning.at("visitors").get<int>(), evening.at("visitors").get<int>());
  EXPECT_GT(evening.at("business").at("money").at(0).at("revenue").get<double>(), 0);
  EXPECT_FALSE(evening.contains("visitors_change"));
}

TEST_F(AnalyticsTest, GoalReportMatchesTheDecodedGoalIdAndAgreesWithTheSummary) {
  const json summary = fetch(path("northwind", "summary?period=28d&compare=previous_period"));
  const json business = summary.at("business");
  ASSERT_EQ(business.at("goal_id"), "checkout/complete order");
  const json report = fetch(path("northwind",
                                 "business-report?period=28d&compare=previous_period&interval=day"
                                 "&goal_id=checkout%2Fcomplete%20order"));
  ASSERT_EQ(report.at("goals").size(), 2u);
  const json& other = report["goals"][0];
  const json& goal = report["goals"][1];
  EXPECT_FALSE(other.contains("series"));  // only the asked-for goal carries its days
  EXPECT_EQ(goal.at("goal_id"), business["goal_id"]);
  EXPECT_EQ(goal.at("conversions"), business["conversions"]);
  EXPECT_EQ(goal.at("money"), business["money"]);
  EXPECT_EQ(goal.at("previous"), business["previous"]);
  EXPECT_EQ(summary.at("revenue"), business["money"][0]["revenue"]);

  long long conversions = 0;
  double value = 0;
  for (const auto& point : goal.at("series")) {
    conversions += point.at("conversions").get<long long>();
    value += point.at("value").get<double>();
  }
  EXPECT_EQ(conversions, goal["conversions"].get<long long>());
  EXPECT_NEAR(value, goal["money"][0]["revenue"].get<double>(), 0.01);

  // The previous totals are the report of the previous window.
  const json previous =
      fetch(path("northwind", "business-report?" + custom("2026-01-13", "2026-02-09") +
                                  "&goal_id=checkout%2Fcomplete%20order"));
  EXPECT_EQ(previous["goals"][1].at("conversions"), goal["previous"]["conversions"]);
  EXPECT_EQ(previous["goals"][1].at("money"), goal["previous"]["money"]);

  // An identifier with a blank and a plus sign, percent-encoded.
  const json rides = fetch(
      path("atlas-bikes", "business-report?period=7d&interval=day&goal_id=test%20ride%2Bbooked"));
  EXPECT_TRUE(rides.at("goals").at(0).contains("series"));
}

TEST_F(AnalyticsTest, AccountCoversEveryKindOfGoalAndRevenue) {
  // Two currencies: both listed, the summary's revenue in the first.
  const json studio = fetch(path("lumen-studio", "summary?period=30d&compare=previous_period"));
  const json money = studio.at("business").at("money");
  ASSERT_EQ(money.size(), 2u);
  EXPECT_EQ(money[0]["currency"], "GBP");
  EXPECT_EQ(money[1]["currency"], "EUR");
  EXPECT_EQ(studio.at("revenue"), money[0]["revenue"]);
  EXPECT_EQ(studio.at("business").at("kind"), "sales");
  EXPECT_EQ(studio.at("business").at("value_mode"), "revenue");

  // Revenue without a goal.
  const json tools = fetch(path("pinecone", "summary?period=7d&compare=previous_period"));
  EXPECT_GT(tools.at("revenue").get<double>(), 0);
  EXPECT_EQ(tools.at("currency"), "USD");
  EXPECT_TRUE(tools.at("business").is_null());

  // A conversions goal without a name.
  const json travel = fetch(path("fernway", "summary?period=7d&compare=previous_period"));
  EXPECT_EQ(travel.at("business").at("kind"), "conversions");
  EXPECT_FALSE(travel["business"].contains("name"));

  // No traffic at all.
  const json quiet = fetch(path("quiet-harbor", "summary?period=90d&compare=previous_period"));
  EXPECT_EQ(quiet.at("visitors"), 0);
  EXPECT_FALSE(quiet.contains("visitors_change"));
  EXPECT_TRUE(fetch(path("quiet-harbor", "timeseries?period=90d&interval=day")).at("data").empty());
  EXPECT_EQ(fetch(path("quiet-harbor", "realtime")).at("current_visitors"), 0);
}

TEST_F(AnalyticsTest, SeriesShowMissingDaysTimePartsAndSplitDays) {
  const json series = fetch(path("atlas-bikes", "timeseries?period=90d&interval=day"));
  std::set<std::string> days;
  bool timePart = false;
  bool null = false;
  bool split = false;
  for (const auto& point : series.at("data")) {
    const std::string date = point.at("date");
    timePart = timePart || date.size() > 10;
    null = null || point.at("visitors").is_null();
    split = split || !days.insert(date.substr(0, 10)).second;
  }
  EXPECT_TRUE(timePart);
  EXPECT_TRUE(null);
  EXPECT_TRUE(split);
  // Northwind loses days: fewer points than days.
  EXPECT_LT(fetch(path("northwind", "timeseries?period=90d&interval=day")).at("data").size(), 90u);
}

TEST_F(AnalyticsTest, BadQueriesAreRefused) {
  for (const char* query :
       {"summary", "summary?period=14d", "summary?period=7d&compare=yes",
        "timeseries?period=7d&interval=week", "timeseries?period=custom&from=2026-03-01",
        "timeseries?period=custom&from=2026-03-09&to=2026-03-01",
        "timeseries?period=custom&from=2026-3-1&to=2026-03-02",
        "timeseries?period=custom&from=2024-01-01&to=2026-03-01"}) {
    EXPECT_EQ(status(path("northwind", query)), 400) << query;
  }
  EXPECT_EQ(status(path("nowhere", "summary?period=7d")), 404);
  EXPECT_EQ(status(path("kiso-tea", "realtime")), 200);
}

}  // namespace
}  // namespace vx::demo
