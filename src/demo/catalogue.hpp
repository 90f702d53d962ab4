#pragma once

// The demo account: a fixed list of projects, each with a traffic profile and goals, chosen so
// that together they reach every branch the widgets have (goals of both kinds, revenue in one
// and in two currencies, revenue without a goal, no traffic at all, zones far east and west of
// UTC, no zone, an unknown zone, a project too young for its previous period, a missing icon).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vx::demo {

// One currency a sales goal takes money in.
struct Sales {
  std::string currency;
  double share = 1;         // share of the goal's conversions paid in this currency
  double averageOrder = 0;  // typical amount of one conversion
};

struct Goal {
  std::string id;
  std::optional<std::string> name;
  std::string kind;  // "conversions" or "sales"
  std::optional<std::string> valueMode;
  double rate = 0;  // conversions per visitor
  std::vector<Sales> sales;

  [[nodiscard]] bool takesMoney() const { return !sales.empty(); }
};

// How the service writes the days of a project's series.
struct SeriesStyle {
  int missingOneIn = 0;      // a day without data roughly once in this many days (0: never)
  bool timeParts = false;    // some days carry a time part ("2026-03-05T00:00:00Z")
  bool splitDays = false;    // some days come as two points that add up
  bool nullMissing = false;  // days without data appear with visitors null instead of not at all
};

struct Profile {
  std::string uuid;
  std::string slug;
  std::string domain;
  std::optional<std::string> timezone;
  bool hasIcon = true;

  double dailyVisitors = 0;  // a typical weekday; 0 means no traffic at all
  int launchedDaysAgo = 0;   // 0: long-standing; otherwise no visitors before that many days ago
  SeriesStyle style;

  std::vector<Goal> goals;                 // in the order the goal report lists them
  std::optional<std::size_t> business;     // the goal the summary reports on
  std::optional<std::size_t> revenueFrom;  // the sales goal behind the summary's revenue
};

// Number of projects the demo account can hold.
[[nodiscard]] std::size_t catalogueSize();
// The first `count` projects (at most catalogueSize()).
[[nodiscard]] std::vector<Profile> catalogue(std::size_t count);

}  // namespace vx::demo
