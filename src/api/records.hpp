#pragma once

// The service's answers, as the widgets read them. Plain values that live for one refresh.
// Each record is decoded from a whole JSON document by `decode<T>` (records_decode.hpp).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx::api {

struct Project {
  std::string uuid;
  std::string slug;
  std::string domain;
  std::optional<std::string> timezone;

  struct List {
    std::vector<Project> data;
  };
};

struct GoalResult {
  struct Money {
    std::optional<std::string> currency;
    std::optional<double> revenue;
  };
  struct Totals {
    std::optional<std::int64_t> conversions;
    std::optional<std::vector<Money>> money;
  };
  struct Point {
    std::string date;
    std::optional<std::int64_t> conversions;
    std::optional<double> value;
  };

  std::string goal_id;
  std::optional<std::string> name;
  std::optional<std::string> kind;
  std::optional<std::string> value_mode;
  std::optional<std::int64_t> conversions;
  std::optional<std::vector<Money>> money;
  std::optional<std::vector<Point>> series;
  std::optional<Totals> previous;
};

struct Summary {
  std::optional<std::int64_t> visitors;
  std::optional<double> visitors_change;
  std::optional<double> revenue;
  std::optional<std::string> currency;
  std::optional<GoalResult> business;
};

struct Timeseries {
  struct Point {
    std::string date;
    std::optional<double> visitors;
  };
  std::optional<std::vector<Point>> data;
};

struct BusinessReport {
  std::optional<std::vector<GoalResult>> goals;
};

struct Realtime {
  std::optional<std::int64_t> current_visitors;
};

struct Conversation {
  struct Message {
    std::optional<std::string> sender_type;
    std::optional<std::string> content;
  };

  std::string uuid;
  std::optional<std::string> status;
  std::optional<bool> ai_active;
  std::optional<std::int64_t> unread_count;
  std::optional<std::string> visitor_name;
  std::optional<std::string> visitor_email;
  std::optional<std::string> created_at;
  std::optional<std::string> last_message_at;
  std::optional<Message> last_message;
};

struct Inbox {
  std::optional<std::vector<Conversation>> conversations;
};

struct Article {
  std::string uuid;
  std::optional<std::string> title;
  std::optional<std::string> action_required;
  std::optional<std::string> updated_at;
};

struct ArticleList {
  std::optional<std::vector<Article>> data;
};

}  // namespace vx::api
