#include "refresh/period_figures.hpp"

#include <exception>
#include <future>
#include <system_error>
#include <utility>

#include "refresh/day_window.hpp"
#include "refresh/goal_figure.hpp"
#include "refresh/money.hpp"
#include "refresh/percent_encoding.hpp"

namespace vx::refresh {
namespace {

// Starts a request; a request that cannot even start fails through its future like any other.
template <class T>
std::future<T> request(const api::Client& client, const std::string& path) {
  try {
    return client.start<T>(path);
  } catch (...) {
    std::promise<T> failed;
    failed.set_exception(std::current_exception());
    return failed.get_future();
  }
}

// Waits for the request; every failure (status, transport, decoding) becomes nothing.
template <class T>
std::optional<T> outcome(std::future<T>& pending) {
  try {
    return pending.get();
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::vector<DatedValue> pointsOf(const std::optional<api::Timeseries>& series) {
  std::vector<DatedValue> points;
  if (!series || !series->data) return points;
  for (const api::Timeseries::Point& point : *series->data) {
    points.push_back({point.date, point.visitors.value_or(0)});
  }
  return points;
}

// The report's result for exactly this goal, if it has one.
std::optional<api::GoalResult> goalIn(const std::optional<api::BusinessReport>& report,
                                      const std::string& goalId) {
  if (!report || !report->goals) return std::nullopt;
  for (const api::GoalResult& goal : *report->goals) {
    if (goal.goal_id == goalId) return goal;
  }
  return std::nullopt;
}

// The query that asks for the previous window's days.
std::string customQuery(const DayBounds& previous) {
  return "period=custom&from=" + previous.from + "&to=" + previous.to + "&interval=day";
}

// The goal reports of a period: the period's own, and the previous period's when a previous
// window is known. Both need only the summary's goal and the period's days, so they run side by
// side.
struct GoalReports {
  std::future<api::BusinessReport> period;
  std::optional<std::future<api::BusinessReport>> previous;
};

GoalReports startGoalReports(const api::GoalResult& business, const std::string& base,
                             const std::string& code, const std::optional<DayBounds>& previous,
                             const api::Client& client) {
  const std::string goalId = percentEncoded(business.goal_id);
  GoalReports reports;
  reports.period = request<api::BusinessReport>(
      client, base + "/business-report?period=" + code +
                  "&compare=previous_period&interval=day&goal_id=" + goalId);
  if (previous) {
    reports.previous = request<api::BusinessReport>(
        client, base + "/business-report?" + customQuery(*previous) + "&goal_id=" + goalId);
  }
  return reports;
}

// The goal of the summary, as the period report has it when it can be had, with its previous
// period's series when a previous window is known.
GoalFigure periodGoal(const api::GoalResult& business, GoalReports& reports,
                      const std::optional<DayBounds>& bounds,
                      const std::optional<DayBounds>& previous) {
  // 1-3. The period report's result for the goal, or the summary's own.
  const auto report = outcome(reports.period);
  const api::GoalResult chosen = goalIn(report, business.goal_id).value_or(business);
  GoalFigure goal = goalFigure(chosen, bounds);
  // 4. The previous period's series.
  if (reports.previous) {
    const auto previousReport = outcome(*reports.previous);
    if (std::optional<api::GoalResult> before = goalIn(previousReport, business.goal_id)) {
      goal.previousSeries = goalFigure(*before, previous).series;
    }
  }
  return goal;
}

std::optional<PeriodMetrics> metricsOrNothing(const ProjectEntry& project, WidgetPeriod period,
                                              const api::Client& client) {
  try {
    return metrics(project, period, client);
  } catch (const std::exception&) {
    return std::nullopt;  // out of memory or threads: this project has no figures
  }
}

}  // namespace

std::optional<std::map<std::string, PeriodMetrics>> fetchFigures(
    const std::vector<ProjectEntry>& projects, WidgetPeriod period, const api::Client& client) {
  // 1. Every project at once. Each task waits on its own request futures; the requests
  //    themselves run on the HTTP session's thread.
  std::vector<std::pair<std::string, std::future<std::optional<PeriodMetrics>>>> running;
  running.reserve(projects.size());
  for (const ProjectEntry& project : projects) {
    std::future<std::optional<PeriodMetrics>> task;
    try {
      task = std::async(std::launch::async, metricsOrNothing, std::cref(project), period,
                        std::cref(client));
    } catch (const std::system_error&) {
      // No thread to spare: this project's figures are fetched when they are collected.
      task = std::async(std::launch::deferred, metricsOrNothing, std::cref(project), period,
                        std::cref(client));
    }
    running.emplace_back(project.slug, std::move(task));
  }
  // 2. Collect the present results; a later project with the same slug replaces an earlier one.
  std::map<std::string, PeriodMetrics> figures;
  for (auto& [slug, task] : running) {
    if (std::optional<PeriodMetrics> result = task.get()) figures[slug] = std::move(*result);
  }
  // 3. No project's figures at all: the period failed.
  if (figures.empty()) return std::nullopt;
  return figures;
}

std::optional<PeriodMetrics> metrics(const ProjectEntry& project, WidgetPeriod period,
                                     const api::Client& client) {
  // 1. The project's analytics address and the period's query token.
  const std::string base = "/v1/projects/" + project.slug + "/analytics";
  const std::string code(queryToken(period));
  // 2. Summary and series together.
  auto summaryRequest =
      request<api::Summary>(client, base + "/summary?period=" + code + "&compare=previous_period");
  auto seriesRequest =
      request<api::Timeseries>(client, base + "/timeseries?period=" + code + "&interval=day");
  // 3. Without a summary the period has no figures; the series is still awaited so that no
  //    request outlives this call.
  const std::optional<api::Summary> summary = outcome(summaryRequest);
  if (!summary) {
    (void)outcome(seriesRequest);
    return std::nullopt;
  }
  // 4. The period's days in the project's zone, and the previous window's.
  const std::optional<DayBounds> bounds = dayBounds(period, project.timezone);
  const std::optional<DayBounds> previous = bounds ? previousBounds(*bounds) : std::nullopt;
  // 5. What needs only the summary or the days, side by side: the previous window's visitors
  //    and the goal's reports.
  std::optional<std::future<api::Timeseries>> previousRequest;
  if (previous) {
    previousRequest =
        request<api::Timeseries>(client, base + "/timeseries?" + customQuery(*previous));
  }
  std::optional<GoalReports> goalReports;
  if (summary->business) {
    goalReports = startGoalReports(*summary->business, base, code, previous, client);
  }
  // 6. The period's visitors, one value a day.
  const std::optional<api::Timeseries> series = outcome(seriesRequest);
  const std::vector<double> visitorsSeries = fill(pointsOf(series), bounds);
  std::optional<std::vector<double>> visitorsPreviousSeries;
  if (previousRequest) {
    const auto previousSeries = outcome(*previousRequest);
    if (previousSeries) visitorsPreviousSeries = fill(pointsOf(previousSeries), previous);
  }
  // 7. The goal.
  std::optional<GoalFigure> goal;
  if (goalReports) goal = periodGoal(*summary->business, *goalReports, bounds, previous);
  // 8. The figures together.
  PeriodMetrics figures;
  figures.visitors = summary->visitors.value_or(0);
  figures.visitorsChange = summary->visitors_change;
  if (visitorsSeries.size() >= 2) figures.visitorsSeries = visitorsSeries;
  figures.goal = std::move(goal);
  figures.visitorsPreviousSeries = std::move(visitorsPreviousSeries);
  if (!figures.goal && summary->revenue && *summary->revenue > 0) {
    figures.revenueDisplay = formatMoney(*summary->revenue, summary->currency);
  }
  return figures;
}

}  // namespace vx::refresh
