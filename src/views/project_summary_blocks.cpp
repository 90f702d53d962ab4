#include "views/project_summary_blocks.hpp"

#include <vector>

#include "format/format_count.hpp"
#include "present/curve_chart.hpp"
#include "present/day_bars.hpp"
#include "present/metric.hpp"
#include "present/widget_type.hpp"

namespace vx::views {

namespace {

using present::WidgetType;

std::optional<std::int64_t> visitorsOf(const std::optional<PeriodMetrics>& metrics) {
  if (!metrics) return std::nullopt;
  return metrics->visitors;
}

}  // namespace

ui::Element SummaryBlocks::lead(ui::Font font, const std::string& suffix) const {
  if (values_.goal) {
    const GoalFigure& goal = *values_.goal;
    return present::Metric(goal.name + suffix, goal.display, goal.change, font, env_);
  }
  return present::Metric("Visitors" + suffix, formatCount(visitorsOf(values_.metrics)),
                         values_.changeToShow, font, env_);
}

ui::Element SummaryBlocks::visitorsMetric(ui::Font font) const {
  return present::Metric("Visitors", formatCount(visitorsOf(values_.metrics)), values_.changeToShow,
                         font, env_);
}

ui::Element SummaryBlocks::goalMetric(ui::Font font) const {
  const GoalFigure& goal = values_.goal.value();
  return present::Metric(goal.name, goal.display, goal.change, font, env_);
}

ui::Element SummaryBlocks::chart(bool lead) const {
  const bool small = view_.size == ProjectSummaryView::Size::small;
  // 1. The goal's days.
  if (lead && values_.goal) {
    const GoalFigure& goal = *values_.goal;
    present::DayBars bars;
    bars.values = goal.series.value_or(std::vector<double>{});
    if (!small) bars.previous = goal.previousSeries;
    bars.scheme = env_.colorScheme;
    bars.renderingMode = env_.renderingMode;
    return bars.element();
  }
  // 2. The visitors' days, when there are at least two to draw a line between.
  if (values_.active && values_.metrics->visitorsSeries &&
      values_.metrics->visitorsSeries->size() >= 2) {
    present::CurveChart curve;
    curve.values = *values_.metrics->visitorsSeries;
    if (!small) curve.previous = values_.metrics->visitorsPreviousSeries;
    curve.scheme = env_.colorScheme;
    curve.renderingMode = env_.renderingMode;
    return curve.element();
  }
  // 3. A baseline with a stub for each of the period's days.
  present::DayBars empty;
  empty.values.assign(static_cast<std::size_t>(values_.days), 0.0);
  empty.scheme = env_.colorScheme;
  empty.renderingMode = env_.renderingMode;
  return empty.element();
}

ui::Element SummaryBlocks::tile(const ui::Element& metric, const ui::Element& chart) const {
  const double chartHeight = view_.size == ProjectSummaryView::Size::panel ? 64 : 40;
  return ui::column({metric, ui::spacer(0), chart.height(chartHeight)})
      .spacing(10)
      .align(ui::HAlign::leading)
      .fillContainer(ui::Alignment::topLeading);
}

ui::Element SummaryBlocks::divider() const {
  const present::Ink ink(env_);
  return ui::rectangle().fill(ink.baseline).width(1).padding(ui::Edge::horizontal, 16);
}

ui::Element SummaryBlocks::note(const std::string& title, const std::string& text,
                                const std::string& action) const {
  const present::Ink ink(env_);
  return ui::column({ui::text(title).font(WidgetType::title).color(ink.primary),
                     // As many lines as the widget has room for; a longer text (a revenue in many
                     // currencies) is cut short at the last of them rather than push the rest out.
                     ui::text(text).font(WidgetType::detail).color(ink.secondary),
                     ui::text(action)
                         .font(WidgetType::detail)
                         .color(ink.action)
                         .padding(ui::Edge::top, 4)})
      .spacing(4)
      .align(ui::HAlign::leading)
      .frame({.maxWidth = ui::infinity, .alignment = ui::Alignment::leading});
}

ui::Element SummaryBlocks::setGoal() const {
  const std::optional<std::string>& revenue =
      values_.metrics ? values_.metrics->revenueDisplay : std::nullopt;
  const std::string text = revenue ? *revenue + " revenue so far. Set a goal to follow it here."
                                   : "Set a goal and its sales or leads show here.";
  return note("What counts as a win?", text, "Set a goal \u203a");
}

ui::Element SummaryBlocks::checkTracking() const {
  return note("No visits in " + std::to_string(values_.days) + " days",
              "If the site is live, its tracking code may be missing.", "Check tracking \u203a");
}

ui::Element SummaryBlocks::nudge() const {
  return values_.active ? setGoal() : checkTracking();
}

}  // namespace vx::views
