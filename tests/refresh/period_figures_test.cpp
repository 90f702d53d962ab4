#include "refresh/period_figures.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "model/clock.hpp"
#include "support/fake_service.hpp"
#include "support/icu_defaults.hpp"
#include "support/rendezvous.hpp"

namespace vx::refresh {
namespace {

using testing::Answer;
using ::testing::ElementsAre;
using testing::FakeService;
using testing::RecordedRequest;
using testing::Rendezvous;
using ::testing::UnorderedElementsAre;

const std::string kShop = "/v1/projects/shop/analytics";
const std::string kSummary = kShop + "/summary?period=7d&compare=previous_period";
const std::string kSeries = kShop + "/timeseries?period=7d&interval=day";
const std::string kPreviousSeries =
    kShop + "/timeseries?period=custom&from=2026-02-24&to=2026-03-02&interval=day";
const std::string kReport =
    kShop + "/business-report?period=7d&compare=previous_period&interval=day&goal_id=a%20b%2Fc";
const std::string kPreviousReport = kShop +
                                    "/business-report?period=custom&from=2026-02-24&to=2026-03-02"
                                    "&interval=day&goal_id=a%20b%2Fc";

ProjectEntry project(const std::string& slug, std::optional<std::string> zone = "UTC") {
  ProjectEntry entry;
  entry.name = slug + ".example";
  entry.slug = slug;
  entry.timezone = std::move(zone);
  return entry;
}

std::vector<std::string> targets(const std::vector<RecordedRequest>& requests) {
  std::vector<std::string> result;
  for (const RecordedRequest& request : requests) result.push_back(request.target);
  return result;
}

class PeriodFiguresTest : public ::testing::Test {
 protected:
  PeriodFiguresTest() {
    clock::pin(Time(std::chrono::sys_days(std::chrono::year{2026} / 3 / 10)) +
               std::chrono::hours(12));
  }
  ~PeriodFiguresTest() override { clock::unpin(); }

  vx::testing::IcuDefaults defaults_{"en_US", "UTC"};
  FakeService fake_;
  api::Client client_{fake_.baseUrl(), "T"};
};

TEST_F(PeriodFiguresTest, AsksForThePeriodInOrderAndCondensesTheAnswers) {
  // The summary is only answered once the series request is in flight too.
  auto together = std::make_shared<Rendezvous>(2);
  fake_.on("GET", kSummary, [together](const RecordedRequest&) {
    if (!together->arriveAndWait()) return Answer{500};
    return Answer{200, R"({"visitors": 1234, "visitors_change": 25.5, "revenue": 99.5,
        "business": {"goal_id": "a b/c", "name": "Signup", "conversions": 1}})"};
  });
  fake_.on("GET", kSeries, [together](const RecordedRequest&) {
    together->arriveAndWait();
    return Answer{200, R"({"data": [{"date": "2026-03-03", "visitors": 3},
        {"date": "2026-03-09T00:00:00Z", "visitors": 9}, {"date": "2026-03-10", "visitors": 99}]})"};
  });
  fake_.on("GET", kPreviousSeries, Answer{200, R"({"data": [{"date": "2026-02-24"}]})"});
  fake_.on("GET", kReport, Answer{200, R"({"goals": [
        {"goal_id": "a b/c2", "conversions": 500},
        {"goal_id": "a b/c", "name": "Signup", "conversions": 30, "previous": {"conversions": 20},
         "series": [{"date": "2026-03-04", "conversions": 30}]}]})"});
  fake_.on("GET", kPreviousReport, Answer{200, R"({"goals": [{"goal_id": "a b/c",
        "series": [{"date": "2026-03-02", "conversions": 20}]}]})"});

  const auto figures = fetchFigures({project("shop")}, WidgetPeriod::days7, client_);

  const std::vector<std::string> sent = targets(fake_.requests());
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_THAT(std::vector(sent.begin(), sent.begin() + 2), UnorderedElementsAre(kSummary, kSeries));
  EXPECT_THAT(std::vector(sent.begin() + 2, sent.end()),
              UnorderedElementsAre(kPreviousSeries, kReport, kPreviousReport));

  ASSERT_TRUE(figures);
  ASSERT_EQ(figures->count("shop"), 1u);
  const PeriodMetrics& shop = figures->at("shop");
  EXPECT_EQ(shop.visitors, 1234);
  EXPECT_EQ(shop.visitorsChange, 25.5);
  EXPECT_THAT(*shop.visitorsSeries, ElementsAre(3, 0, 0, 0, 0, 0, 9));
  EXPECT_THAT(*shop.visitorsPreviousSeries, ElementsAre(0, 0, 0, 0, 0, 0, 0));
  ASSERT_TRUE(shop.goal);
  EXPECT_EQ(shop.goal->name, "Signup");
  EXPECT_EQ(shop.goal->display, "30");
  EXPECT_EQ(shop.goal->change, 50.0);
  EXPECT_THAT(*shop.goal->series, ElementsAre(0, 30, 0, 0, 0, 0, 0));
  EXPECT_THAT(*shop.goal->previousSeries, ElementsAre(0, 0, 0, 0, 0, 0, 20));
  EXPECT_EQ(shop.revenueDisplay, std::nullopt);  // a goal is shown instead
}

// Once the summary names the goal, nothing else waits: the previous period's series and both
// goal reports are answered only when all three are in flight.
TEST_F(PeriodFiguresTest, PreviousSeriesAndGoalReportsAreInFlightTogether) {
  fake_.on("GET", kSummary, Answer{200, R"({"visitors": 1, "business": {"goal_id": "a b/c"}})"});
  fake_.on("GET", kSeries, Answer{200, R"({"data": []})"});
  auto together = std::make_shared<Rendezvous>(3);
  const auto after = [together](std::string body) {
    return [together, body](const RecordedRequest&) {
      return together->arriveAndWait() ? Answer{200, body} : Answer{500};
    };
  };
  fake_.on("GET", kPreviousSeries, after(R"({"data": [{"date": "2026-02-24", "visitors": 4}]})"));
  fake_.on("GET", kReport, after(R"({"goals": [{"goal_id": "a b/c", "conversions": 3}]})"));
  fake_.on("GET", kPreviousReport, after(R"({"goals": [{"goal_id": "a b/c",
        "series": [{"date": "2026-03-02", "conversions": 2}]}]})"));

  const auto figures = fetchFigures({project("shop")}, WidgetPeriod::days7, client_);

  ASSERT_TRUE(figures);
  const PeriodMetrics& shop = figures->at("shop");
  EXPECT_THAT(*shop.visitorsPreviousSeries, ElementsAre(4, 0, 0, 0, 0, 0, 0));
  ASSERT_TRUE(shop.goal);
  EXPECT_EQ(shop.goal->display, "3");
  EXPECT_THAT(*shop.goal->previousSeries, ElementsAre(0, 0, 0, 0, 0, 0, 2));
}

TEST_F(PeriodFiguresTest, AllProjectsAreAskedForAtOnce) {
  auto everyone = std::make_shared<Rendezvous>(3);
  fake_.otherwise(Answer{200, R"({})"});
  for (const char* slug : {"a", "b", "c"}) {
    fake_.on("GET",
             "/v1/projects/" + std::string(slug) + "/analytics" + kSummary.substr(kShop.size()),
             [everyone](const RecordedRequest&) {
               return everyone->arriveAndWait() ? Answer{200, R"({"visitors": 1})"} : Answer{500};
             });
  }
  const auto figures =
      fetchFigures({project("a"), project("b"), project("c")}, WidgetPeriod::days7, client_);
  ASSERT_TRUE(figures);
  EXPECT_EQ(figures->size(), 3u);
}

TEST_F(PeriodFiguresTest, AFailedSummaryDropsThatProjectOnly) {
  fake_.otherwise(Answer{200, R"({"data": []})"});
  fake_.on("GET", "/v1/projects/down/analytics/summary?period=28d&compare=previous_period",
           Answer{503});
  fake_.on("GET", "/v1/projects/up/analytics/summary?period=28d&compare=previous_period",
           Answer{200, R"({"visitors": 5})"});

  const auto figures =
      fetchFigures({project("down"), project("up")}, WidgetPeriod::days28, client_);

  ASSERT_TRUE(figures);
  EXPECT_EQ(figures->size(), 1u);
  EXPECT_EQ(figures->at("up").visitors, 5);
  // The failed project's series was asked for alongside, and nothing after it.
  std::vector<std::string> down;
  for (const std::string& target : targets(fake_.requests())) {
    if (target.starts_with("/v1/projects/down/")) down.push_back(target);
  }
  EXPECT_THAT(down, UnorderedElementsAre(
                        "/v1/projects/down/analytics/summary?period=28d&compare=previous_period",
                        "/v1/projects/down/analytics/timeseries?period=28d&interval=day"));
}

TEST_F(PeriodFiguresTest, NoFiguresAtAllGiveNoMap) {
  fake_.otherwise(Answer{500});
  EXPECT_EQ(fetchFigures({project("a"), project("b")}, WidgetPeriod::days7, client_), std::nullopt);
  fake_.otherwise(Answer{200, "not json"});
  EXPECT_EQ(fetchFigures({project("a")}, WidgetPeriod::days7, client_), std::nullopt);
  fake_.clearRequests();
  EXPECT_EQ(fetchFigures({}, WidgetPeriod::days7, client_), std::nullopt);
  EXPECT_EQ(fake_.requestCount(), 0u);
}

TEST_F(PeriodFiguresTest, FailedSideRequestsLeaveTheirPartsEmpty) {
  // Only the summary answers: zeros across the window, no previous series, and the summary's
  // own goal stands in for the report's.
  fake_.otherwise(Answer{500});
  fake_.on("GET", kSummary, Answer{200, R"({"visitors": 2, "business": {"goal_id": "a b/c",
      "kind": "sales", "value_mode": "revenue", "money": [{"currency": "EUR", "revenue": 120}]}})"});

  const auto figures = fetchFigures({project("shop")}, WidgetPeriod::days7, client_);

  ASSERT_TRUE(figures);
  const PeriodMetrics& shop = figures->at("shop");
  EXPECT_THAT(*shop.visitorsSeries, ElementsAre(0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(shop.visitorsPreviousSeries, std::nullopt);
  ASSERT_TRUE(shop.goal);
  EXPECT_EQ(shop.goal->name, "Revenue");
  EXPECT_EQ(shop.goal->display, "\u20AC120");
  EXPECT_THAT(*shop.goal->series, ElementsAre(0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(shop.goal->previousSeries, std::nullopt);
  EXPECT_EQ(fake_.requestCount(), 5u);
}

TEST_F(PeriodFiguresTest, RevenueIsShownOnlyWithoutAGoal) {
  fake_.otherwise(Answer{200, R"({})"});
  fake_.on("GET", kSummary, Answer{200, R"({"revenue": 99.5, "currency": "USD"})"});
  auto figures = fetchFigures({project("shop")}, WidgetPeriod::days7, client_);
  ASSERT_TRUE(figures);
  EXPECT_EQ(figures->at("shop").revenueDisplay, "$99.50");
  EXPECT_EQ(figures->at("shop").goal, std::nullopt);
  EXPECT_EQ(figures->at("shop").visitors, 0);
  // Without a goal no report is asked for.
  for (const std::string& target : targets(fake_.requests())) {
    EXPECT_EQ(target.find("business-report"), std::string::npos) << target;
  }

  for (const char* summary : {R"({"revenue": 0})", R"({})"}) {
    fake_.on("GET", kSummary, Answer{200, summary});
    figures = fetchFigures({project("shop")}, WidgetPeriod::days7, client_);
    ASSERT_TRUE(figures);
    EXPECT_EQ(figures->at("shop").revenueDisplay, std::nullopt) << summary;
  }
}

}  // namespace
}  // namespace vx::refresh
