#include "api/records_decode.hpp"

#include <gtest/gtest.h>

#include "model/json_fields.hpp"

namespace vx::api {
namespace {

// The member path named by the decoding error, or "" when the document decodes.
template <class T>
std::string failurePath(std::string_view document) {
  try {
    (void)decode<T>(document);
  } catch (const fields::DecodeError& error) {
    return error.path();
  }
  return "";
}

TEST(ProjectDecoding, ReadsTheListInOrderAndIgnoresUnknownKeys) {
  auto list = decode<Project::List>(R"({
    "data": [
      {"uuid": "u1", "slug": "a", "domain": "a.example", "timezone": "Europe/Berlin",
       "extra": {"deep": [1, {"x": null}]}},
      {"uuid": "u2", "slug": "b", "domain": "b.example", "timezone": null}
    ],
    "meta": {"total": 2}
  })");
  ASSERT_EQ(list.data.size(), 2u);
  EXPECT_EQ(list.data[0].uuid, "u1");
  EXPECT_EQ(list.data[0].timezone, "Europe/Berlin");
  EXPECT_EQ(list.data[1].slug, "b");
  EXPECT_EQ(list.data[1].timezone, std::nullopt);
}

TEST(ProjectDecoding, EmptyListIsValid) {
  EXPECT_TRUE(decode<Project::List>(R"({"data": []})").data.empty());
}

TEST(ProjectDecoding, MissingOrNullRequiredMemberNamesItsPath) {
  EXPECT_EQ(failurePath<Project>(R"({"uuid": "u", "slug": "s"})"), "domain");
  EXPECT_EQ(failurePath<Project::List>(R"({"data": [
      {"uuid": "u", "slug": "s", "domain": "d"},
      {"uuid": "u", "slug": null, "domain": "d"}]})"),
            "data[1].slug");
  EXPECT_EQ(failurePath<Project::List>("{}"), "data");
  EXPECT_EQ(failurePath<Project::List>(R"({"data": {"uuid": "u"}})"), "data");
}

TEST(ProjectDecoding, RejectsDocumentsThatAreNotObjectsOrNotJson) {
  EXPECT_EQ(failurePath<Project::List>("[]"), "$");
  EXPECT_EQ(failurePath<Project::List>(""), "$");
  EXPECT_EQ(failurePath<Project::List>(R"({"data": [)"), "$");
  EXPECT_EQ(failurePath<Project::List>(R"({"data": []} trailing)"), "$");
  EXPECT_EQ(failurePath<Realtime>(R"({"current_visitors": 1e999})"), "$");
}

TEST(SummaryDecoding, NullBusinessAloneLeavesEveryMemberAbsent) {
  auto summary = decode<Summary>(R"({"business": null})");
  EXPECT_FALSE(summary.visitors);
  EXPECT_FALSE(summary.visitors_change);
  EXPECT_FALSE(summary.revenue);
  EXPECT_FALSE(summary.currency);
  EXPECT_FALSE(summary.business);
}

TEST(SummaryDecoding, ReadsNestedGoalWithPreviousTotals) {
  auto summary = decode<Summary>(R"({
    "visitors": 1200, "visitors_change": -12.5, "revenue": 99, "currency": "EUR",
    "business": {"goal_id": "g1", "kind": "sales", "value_mode": "revenue", "conversions": 7,
                 "money": [{"currency": "EUR", "revenue": 12.25}],
                 "series": [{"date": "2024-05-01", "conversions": 3, "value": 1.5}],
                 "previous": {"conversions": 4, "money": []}}
  })");
  EXPECT_EQ(summary.visitors, 1200);
  EXPECT_EQ(summary.visitors_change, -12.5);
  EXPECT_EQ(summary.revenue, 99.0);
  ASSERT_TRUE(summary.business);
  EXPECT_EQ(summary.business->goal_id, "g1");
  EXPECT_EQ(summary.business->money->at(0).revenue, 12.25);
  EXPECT_EQ(summary.business->series->at(0).date, "2024-05-01");
  ASSERT_TRUE(summary.business->previous);
  EXPECT_EQ(summary.business->previous->conversions, 4);
  ASSERT_TRUE(summary.business->previous->money);  // empty list, not absent
  EXPECT_TRUE(summary.business->previous->money->empty());
  EXPECT_FALSE(summary.business->name);
}

TEST(SummaryDecoding, IntegerMembersRejectFractionsAndTextButAcceptWholeReals) {
  EXPECT_EQ(decode<Summary>(R"({"visitors": 12.0})").visitors, 12);
  EXPECT_EQ(failurePath<Summary>(R"({"visitors": 12.5})"), "visitors");
  EXPECT_EQ(failurePath<Summary>(R"({"visitors": "12"})"), "visitors");
  EXPECT_EQ(failurePath<Summary>(R"({"visitors": 9223372036854775808})"), "visitors");
  EXPECT_EQ(decode<Summary>(R"({"visitors": -9223372036854775808})").visitors, INT64_MIN);
  EXPECT_EQ(failurePath<Summary>(R"({"visitors_change": "5"})"), "visitors_change");
  EXPECT_EQ(failurePath<Summary>(R"({"business": {"goal_id": 3}})"), "business.goal_id");
  EXPECT_EQ(failurePath<Summary>(R"({"business": []})"), "business");
}

TEST(GoalDecoding, FailsDeepInsideTheReportWithFullPath) {
  EXPECT_EQ(failurePath<BusinessReport>(R"({"goals": [
      {"goal_id": "a"},
      {"goal_id": "b", "previous": {"money": [{"currency": "USD"}, {"revenue": "1"}]}}]})"),
            "goals[1].previous.money[1].revenue");
  EXPECT_EQ(failurePath<BusinessReport>(R"({"goals": [{"goal_id": "a", "series": [{}]}]})"),
            "goals[0].series[0].date");
  EXPECT_EQ(failurePath<BusinessReport>(R"({"goals": [{"goal_id": "a", "money": {}}]})"),
            "goals[0].money");
  EXPECT_FALSE(decode<BusinessReport>(R"({"goals": null})").goals);
}

TEST(TimeseriesDecoding, NullVisitorsIsAbsentAndDateIsRequired) {
  auto series = decode<Timeseries>(R"({"data": [{"date": "2024-05-01T00:00:00Z", "visitors": null},
                                               {"date": "2024-05-02", "visitors": 3.5}]})");
  ASSERT_EQ(series.data->size(), 2u);
  EXPECT_FALSE(series.data->at(0).visitors);
  EXPECT_EQ(series.data->at(1).visitors, 3.5);
  EXPECT_EQ(failurePath<Timeseries>(R"({"data": [{"visitors": 1}]})"), "data[0].date");
  EXPECT_FALSE(decode<Timeseries>("{}").data);
}

TEST(InboxDecoding, TextUnreadCountFailsTheWholeAnswer) {
  EXPECT_EQ(failurePath<Inbox>(R"({"conversations": [
      {"uuid": "c1", "unread_count": 2},
      {"uuid": "c2", "unread_count": "3"}]})"),
            "conversations[1].unread_count");
}

TEST(InboxDecoding, ReadsConversationWithLastMessage) {
  auto inbox = decode<Inbox>(R"({"conversations": [{
      "uuid": "c1", "status": "open", "ai_active": false, "unread_count": 2,
      "visitor_name": "Ann", "visitor_email": null, "created_at": "2024-05-01T10:00:00Z",
      "last_message_at": "2024-05-01T10:05:00.123Z",
      "last_message": {"sender_type": "visitor", "content": "{\"x\":1}", "id": 5}}]})");
  const Conversation& c = inbox.conversations->at(0);
  EXPECT_EQ(c.ai_active, false);
  EXPECT_EQ(c.unread_count, 2);
  EXPECT_FALSE(c.visitor_email);
  EXPECT_EQ(c.last_message_at, "2024-05-01T10:05:00.123Z");
  EXPECT_EQ(c.last_message->content, "{\"x\":1}");
  EXPECT_EQ(failurePath<Inbox>(R"({"conversations": [{"uuid": "c", "ai_active": 1}]})"),
            "conversations[0].ai_active");
  EXPECT_EQ(failurePath<Inbox>(R"({"conversations": [{"uuid": "c", "last_message": "hi"}]})"),
            "conversations[0].last_message");
}

TEST(ArticleDecoding, RequiresUuidAndKeepsOptionalTexts) {
  auto list = decode<ArticleList>(
      R"({"data": [{"uuid": "a1", "title": "T", "action_required": "", "updated_at": null}]})");
  EXPECT_EQ(list.data->at(0).action_required, "");
  EXPECT_FALSE(list.data->at(0).updated_at);
  EXPECT_EQ(failurePath<ArticleList>(R"({"data": [{"title": "T"}]})"), "data[0].uuid");
}

TEST(RealtimeDecoding, ReadsOrLeavesCountAbsent) {
  EXPECT_EQ(decode<Realtime>(R"({"current_visitors": 4})").current_visitors, 4);
  EXPECT_FALSE(decode<Realtime>(R"({"visitors": 4})").current_visitors);
  EXPECT_EQ(failurePath<Realtime>(R"({"current_visitors": true})"), "current_visitors");
}

}  // namespace
}  // namespace vx::api
