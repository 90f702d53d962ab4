// Every answer of the demo service reads as the widgets' records, for every project of the
// largest account and every query the widgets make.

#include <string>

#include "api/records_decode.hpp"
#include "demo/catalogue.hpp"
#include "demo_fixture.hpp"

namespace vx::demo {
namespace {

using testing::DemoServiceTest;

class DecodeTest : public DemoServiceTest {
 protected:
  template <class Record>
  Record decoded(const std::string& path) {
    const std::string text = body(path);
    try {
      return vx::api::decode<Record>(text);
    } catch (const std::exception& e) {
      ADD_FAILURE() << path << " does not decode: " << e.what() << "\n" << text;
      return Record{};
    }
  }
};

TEST_F(DecodeTest, EveryAnswerDecodesAsTheWidgetsRecords) {
  ServiceOptions options;
  options.projects = catalogueSize();
  start(options);
  const auto list = decoded<vx::api::Project::List>("/v1/projects");
  ASSERT_EQ(list.data.size(), catalogueSize());

  for (const auto& project : list.data) {
    SCOPED_TRACE(project.slug);
    const std::string base = "/v1/projects/" + project.slug + "/analytics";
    decoded<vx::api::Realtime>(base + "/realtime");
    decoded<vx::api::Inbox>("/v1/projects/" + project.slug + "/inbox?limit=100&offset=0");
    decoded<vx::api::ArticleList>("/v1/projects/" + project.uuid +
                                  "/articles?limit=50&offset=0&sort_by=updated_at&order_by=desc");
    decoded<vx::api::Summary>(base + "/summary?period=today");
    for (const char* period : {"7d", "28d", "30d", "90d"}) {
      const std::string p = period;
      const auto summary =
          decoded<vx::api::Summary>(base + "/summary?period=" + p + "&compare=previous_period");
      decoded<vx::api::Timeseries>(base + "/timeseries?period=" + p + "&interval=day");
      const std::string custom = "period=custom&from=2025-12-01&to=2025-12-31&interval=day";
      decoded<vx::api::Timeseries>(base + "/timeseries?" + custom);
      if (!summary.business) continue;
      const std::string goal = httplib::detail::encode_query_param(summary.business->goal_id);
      const auto report =
          decoded<vx::api::BusinessReport>(base + "/business-report?period=" + p +
                                           "&compare=previous_period&interval=day&goal_id=" + goal);
      ASSERT_TRUE(report.goals);
      decoded<vx::api::BusinessReport>(base + "/business-report?" + custom + "&goal_id=" + goal);
    }
  }
}

TEST_F(DecodeTest, DecodedRecordsCarryTheCasesTheWidgetsBranchOn) {
  const auto list = decoded<vx::api::Project::List>("/v1/projects");
  ASSERT_EQ(list.data.size(), kDefaultProjects);
  EXPECT_FALSE(list.data[2].timezone.has_value());
  EXPECT_EQ(list.data[1].timezone, "Pacific/Kiritimati");

  const auto summary = decoded<vx::api::Summary>(
      "/v1/projects/northwind/analytics/summary?period=7d&compare=previous_period");
  ASSERT_TRUE(summary.business);
  EXPECT_EQ(summary.business->kind, "sales");
  EXPECT_EQ(summary.business->value_mode, "revenue");
  ASSERT_TRUE(summary.business->previous);
  EXPECT_EQ(summary.business->previous->money->size(), 1u);

  const auto series = decoded<vx::api::Timeseries>(
      "/v1/projects/atlas-bikes/analytics/timeseries?period=90d&interval=day");
  bool absentVisitors = false;
  for (const auto& point : *series.data) absentVisitors = absentVisitors || !point.visitors;
  EXPECT_TRUE(absentVisitors);

  const auto inbox = decoded<vx::api::Inbox>("/v1/projects/northwind/inbox?limit=100&offset=0");
  bool unnamed = false;
  for (const auto& c : *inbox.conversations)
    unnamed = unnamed || (!c.visitor_name && !c.visitor_email);
  EXPECT_TRUE(unnamed);
}

}  // namespace
}  // namespace vx::demo
