#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/clock.hpp"
#include "model/widget_period.hpp"

namespace vx {

// A goal's result for one period.
struct GoalFigure {
  std::string name;
  std::string display;
  double value = 0;
  std::optional<double> change;
  std::optional<std::vector<double>> series;
  std::optional<std::vector<double>> previousSeries;

  bool operator==(const GoalFigure&) const = default;
};

// One project's figures for one period.
struct PeriodMetrics {
  std::int64_t visitors = 0;
  std::optional<double> visitorsChange;
  std::optional<std::vector<double>> visitorsSeries;
  std::optional<GoalFigure> goal;
  std::optional<std::vector<double>> visitorsPreviousSeries;
  std::optional<std::string> revenueDisplay;

  bool operator==(const PeriodMetrics&) const = default;
};

// One thing waiting for the user: a conversation to answer or an article to finish.
struct WaitingItem {
  enum class Kind { conversation, article };

  std::string id;
  Kind kind = Kind::conversation;
  std::string action;
  std::string privateAction;
  std::string detail;
  std::string site;
  std::string slug;
  Time since;
  std::string path;

  bool operator==(const WaitingItem&) const = default;
};

[[nodiscard]] std::string_view rawValue(WaitingItem::Kind kind);
[[nodiscard]] std::optional<WaitingItem::Kind> waitingKindFromRaw(std::string_view raw);

// One project as the widgets show it; identified by its slug.
struct ProjectEntry {
  std::string name;
  std::string slug;
  std::optional<std::string> timezone;
  std::string faviconLetter;
  std::string faviconColor;
  std::optional<std::string> faviconFile;
  std::int64_t realtimeVisitors = 0;
  std::optional<std::string> todayDisplay;
  std::vector<WaitingItem> waiting;
  std::int64_t waitingConversations = 0;
  std::map<std::string, PeriodMetrics> metricsByPeriod;  // keyed by period raw value

  [[nodiscard]] const std::string& id() const { return slug; }
  [[nodiscard]] std::optional<PeriodMetrics> metrics(WidgetPeriod period) const;

  bool operator==(const ProjectEntry&) const = default;
};

// The whole cached widget state.
struct Snapshot {
  Time at;
  std::map<std::string, Time> periodAt;  // keyed by period raw value
  std::int64_t projectCount = 0;
  std::vector<ProjectEntry> projects;

  // When the period's figures were fetched; `at` when they never were.
  [[nodiscard]] Time updatedAt(WidgetPeriod period) const;

  // Every project's waiting items, latest `since` first; equal times keep project order.
  [[nodiscard]] std::vector<WaitingItem> waiting() const;

  bool operator==(const Snapshot&) const = default;
};

}  // namespace vx
