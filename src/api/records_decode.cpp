#include "api/records_decode.hpp"

#include <nlohmann/json.hpp>

#include "model/json_fields.hpp"

namespace vx::api {
namespace {

using fields::Field;

// One reader per record, each taking the JSON object at the field. Required members use the
// plain accessors (which throw on missing or null), optional ones the optional accessors.

Project readProject(const Field& field) {
  field.requireObject();
  Project project;
  project.uuid = field.member("uuid").text();
  project.slug = field.member("slug").text();
  project.domain = field.member("domain").text();
  project.timezone = field.member("timezone").optionalText();
  return project;
}

Project::List readProjectList(const Field& field) {
  field.requireObject();
  return Project::List{field.member("data").list<Project>(readProject)};
}

GoalResult::Money readMoney(const Field& field) {
  field.requireObject();
  GoalResult::Money money;
  money.currency = field.member("currency").optionalText();
  money.revenue = field.member("revenue").optionalReal();
  return money;
}

GoalResult::Totals readTotals(const Field& field) {
  field.requireObject();
  GoalResult::Totals totals;
  totals.conversions = field.member("conversions").optionalInteger();
  totals.money = field.member("money").optionalList<GoalResult::Money>(readMoney);
  return totals;
}

GoalResult::Point readGoalPoint(const Field& field) {
  field.requireObject();
  GoalResult::Point point;
  point.date = field.member("date").text();
  point.conversions = field.member("conversions").optionalInteger();
  point.value = field.member("value").optionalReal();
  return point;
}

GoalResult readGoalResult(const Field& field) {
  field.requireObject();
  GoalResult goal;
  goal.goal_id = field.member("goal_id").text();
  goal.name = field.member("name").optionalText();
  goal.kind = field.member("kind").optionalText();
  goal.value_mode = field.member("value_mode").optionalText();
  goal.conversions = field.member("conversions").optionalInteger();
  goal.money = field.member("money").optionalList<GoalResult::Money>(readMoney);
  goal.series = field.member("series").optionalList<GoalResult::Point>(readGoalPoint);
  if (Field previous = field.member("previous"); !previous.absent()) {
    goal.previous = readTotals(previous);
  }
  return goal;
}

Summary readSummary(const Field& field) {
  field.requireObject();
  Summary summary;
  summary.visitors = field.member("visitors").optionalInteger();
  summary.visitors_change = field.member("visitors_change").optionalReal();
  summary.revenue = field.member("revenue").optionalReal();
  summary.currency = field.member("currency").optionalText();
  if (Field business = field.member("business"); !business.absent()) {
    summary.business = readGoalResult(business);
  }
  return summary;
}

Timeseries::Point readTimeseriesPoint(const Field& field) {
  field.requireObject();
  Timeseries::Point point;
  point.date = field.member("date").text();
  point.visitors = field.member("visitors").optionalReal();
  return point;
}

Timeseries readTimeseries(const Field& field) {
  field.requireObject();
  return Timeseries{field.member("data").optionalList<Timeseries::Point>(readTimeseriesPoint)};
}

BusinessReport readBusinessReport(const Field& field) {
  field.requireObject();
  return BusinessReport{field.member("goals").optionalList<GoalResult>(readGoalResult)};
}

Realtime readRealtime(const Field& field) {
  field.requireObject();
  return Realtime{field.member("current_visitors").optionalInteger()};
}

Conversation::Message readMessage(const Field& field) {
  field.requireObject();
  Conversation::Message message;
  message.sender_type = field.member("sender_type").optionalText();
  message.content = field.member("content").optionalText();
  return message;
}

Conversation readConversation(const Field& field) {
  field.requireObject();
  Conversation conversation;
  conversation.uuid = field.member("uuid").text();
  conversation.status = field.member("status").optionalText();
  conversation.ai_active = field.member("ai_active").optionalBoolean();
  conversation.unread_count = field.member("unread_count").optionalInteger();
  conversation.visitor_name = field.member("visitor_name").optionalText();
  conversation.visitor_email = field.member("visitor_email").optionalText();
  conversation.created_at = field.member("created_at").optionalText();
  conversation.last_message_at = field.member("last_message_at").optionalText();
  if (Field last = field.member("last_message"); !last.absent()) {
    conversation.last_message = readMessage(last);
  }
  return conversation;
}

Inbox readInbox(const Field& field) {
  field.requireObject();
  return Inbox{field.member("conversations").optionalList<Conversation>(readConversation)};
}

Article readArticle(const Field& field) {
  field.requireObject();
  Article article;
  article.uuid = field.member("uuid").text();
  article.title = field.member("title").optionalText();
  article.action_required = field.member("action_required").optionalText();
  article.updated_at = field.member("updated_at").optionalText();
  return article;
}

ArticleList readArticleList(const Field& field) {
  field.requireObject();
  return ArticleList{field.member("data").optionalList<Article>(readArticle)};
}

// Chooses the reader for a record type.
template <class T>
struct Reader;
template <>
struct Reader<Project::List> {
  static constexpr auto read = readProjectList;
};
template <>
struct Reader<Project> {
  static constexpr auto read = readProject;
};
template <>
struct Reader<Summary> {
  static constexpr auto read = readSummary;
};
template <>
struct Reader<Timeseries> {
  static constexpr auto read = readTimeseries;
};
template <>
struct Reader<Timeseries::Point> {
  static constexpr auto read = readTimeseriesPoint;
};
template <>
struct Reader<BusinessReport> {
  static constexpr auto read = readBusinessReport;
};
template <>
struct Reader<GoalResult> {
  static constexpr auto read = readGoalResult;
};
template <>
struct Reader<GoalResult::Totals> {
  static constexpr auto read = readTotals;
};
template <>
struct Reader<GoalResult::Money> {
  static constexpr auto read = readMoney;
};
template <>
struct Reader<GoalResult::Point> {
  static constexpr auto read = readGoalPoint;
};
template <>
struct Reader<Realtime> {
  static constexpr auto read = readRealtime;
};
template <>
struct Reader<Inbox> {
  static constexpr auto read = readInbox;
};
template <>
struct Reader<Conversation> {
  static constexpr auto read = readConversation;
};
template <>
struct Reader<Conversation::Message> {
  static constexpr auto read = readMessage;
};
template <>
struct Reader<ArticleList> {
  static constexpr auto read = readArticleList;
};
template <>
struct Reader<Article> {
  static constexpr auto read = readArticle;
};

}  // namespace

template <class T>
T decode(std::string_view document) {
  const nlohmann::json parsed = fields::parse(document);
  return Reader<T>::read(fields::root(parsed));
}

// Every record can be decoded on its own, nested ones included.
template Project::List decode<Project::List>(std::string_view);
template Project decode<Project>(std::string_view);
template Summary decode<Summary>(std::string_view);
template Timeseries decode<Timeseries>(std::string_view);
template Timeseries::Point decode<Timeseries::Point>(std::string_view);
template BusinessReport decode<BusinessReport>(std::string_view);
template GoalResult decode<GoalResult>(std::string_view);
template GoalResult::Totals decode<GoalResult::Totals>(std::string_view);
template GoalResult::Money decode<GoalResult::Money>(std::string_view);
template GoalResult::Point decode<GoalResult::Point>(std::string_view);
template Realtime decode<Realtime>(std::string_view);
template Inbox decode<Inbox>(std::string_view);
template Conversation decode<Conversation>(std::string_view);
template Conversation::Message decode<Conversation::Message>(std::string_view);
template ArticleList decode<ArticleList>(std::string_view);
template Article decode<Article>(std::string_view);

}  // namespace vx::api
