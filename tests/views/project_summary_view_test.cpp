// The project summary view's cases, read back from the laid-out tree: which texts and charts it
// holds, where the online indicator appears, and the view's one link.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "present/component_support.hpp"
#include "present/curve_chart.hpp"
#include "present/day_bars.hpp"
#include "support/icu_defaults.hpp"
#include "ui/ui.hpp"
#include "views/project_summary_values.hpp"
#include "views/project_summary_view.hpp"

namespace vx::views {
namespace {

using namespace std::chrono_literals;
using testing::texts;
using Size = ProjectSummaryView::Size;

// 2026-03-10 12:00 UTC.
const Time kNow = Time{} + 1773144000s;

const std::vector<double> kVisitorDays = {3, 5, 4, 8, 12, 9, 7};
const std::vector<double> kPreviousDays = {2, 4, 5, 6, 9, 8, 6};

ProjectEntry project(std::optional<PeriodMetrics> metrics) {
  ProjectEntry p;
  p.name = "Acme Shop";
  p.slug = "acme";
  p.faviconLetter = "A";
  p.faviconColor = "#e11d48";
  p.realtimeVisitors = 12;
  if (metrics) p.metricsByPeriod["days28"] = *metrics;
  return p;
}

PeriodMetrics visitorsOnly(std::int64_t visitors) {
  PeriodMetrics m;
  m.visitors = visitors;
  m.visitorsChange = 12.6;
  m.visitorsSeries = kVisitorDays;
  m.visitorsPreviousSeries = kPreviousDays;
  return m;
}

PeriodMetrics withGoal(std::int64_t visitors, double goalValue) {
  PeriodMetrics m = visitorsOnly(visitors);
  GoalFigure g;
  g.name = "Signups";
  g.display = "87";
  g.value = goalValue;
  g.change = -3.2;
  g.series = std::vector<double>{1, 3, 2, 4, 5, 3, 2};
  g.previousSeries = std::vector<double>{2, 2, 2, 3, 3, 3, 2};
  m.goal = g;
  return m;
}

ui::Size canvasFor(Size size) {
  switch (size) {
    case Size::small:
      return testing::kSmall;
    case Size::medium:
      return testing::kMedium;
    case Size::panel:
      return testing::kLarge;
  }
  return testing::kSmall;
}

struct Drawn {
  ui::Layout layout;
  std::vector<std::string> texts;
  std::vector<std::vector<ui::ShapeItem>> charts;  // each canvas's shapes, in reading order
  std::vector<ui::Size> chartSizes;
  std::vector<ui::LinkArea> links;

  [[nodiscard]] bool has(const std::string& text) const {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }
  [[nodiscard]] bool hasBadge() const {
    for (const auto& t : texts) {
      if (t.rfind("\u2191", 0) == 0 || t.rfind("\u2193", 0) == 0) return true;
    }
    return false;
  }
};

Drawn draw(const ProjectSummaryView& view) {
  const present::Environment env{present::ColorScheme::light, std::nullopt};
  Drawn d{ui::layout(ui::widgetContainer(view.element(env), ui::rectangle()), canvasFor(view.size)),
          {},
          {},
          {},
          {}};
  for (const auto& t : texts(d.layout)) d.texts.push_back(t.text);
  d.layout.visit([&](const ui::Box& box, const ui::Rect& frame, int) {
    if (const auto* c = std::get_if<ui::contents::CanvasDrawing>(&box.content)) {
      d.charts.push_back(c->draw(frame.size()));
      d.chartSizes.push_back(frame.size());
    }
  });
  d.links = ui::linkMap(d.layout);
  return d;
}

ProjectSummaryView view(std::optional<PeriodMetrics> metrics, Size size) {
  return {project(std::move(metrics)), WidgetPeriod::days28, kNow - 20min, kNow + 5min, kNow, size};
}

// The same shapes: kinds, colours and stroke or fill, in order.
void expectSameShapes(const std::vector<ui::ShapeItem>& a, const std::vector<ui::ShapeItem>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].shape.kindName(), b[i].shape.kindName()) << i;
    EXPECT_EQ(a[i].paint.color, b[i].paint.color) << i;
    EXPECT_EQ(a[i].paint.stroke.has_value(), b[i].paint.stroke.has_value()) << i;
  }
}

std::vector<ui::ShapeItem> dayBars(std::vector<double> values,
                                   std::optional<std::vector<double>> previous, ui::Size size) {
  present::DayBars bars;
  bars.values = std::move(values);
  bars.previous = std::move(previous);
  return bars.shapes(size);
}

std::vector<ui::ShapeItem> curve(std::vector<double> values,
                                 std::optional<std::vector<double>> previous, ui::Size size) {
  present::CurveChart chart;
  chart.values = std::move(values);
  chart.previous = std::move(previous);
  return chart.shapes(size);
}

const std::string kProjectLink = "vantorix://open/app/projects/acme";
const std::string kGoalsLink =
    "vantorix://open/app/projects/acme/analytics?project-settings=analytics.goals";

class ProjectSummary : public ::testing::Test {
 protected:
  testing::IcuDefaults icu_{"en_GB", "UTC"};
};

TEST_F(ProjectSummary, NoFiguresForThePeriodAskToCheckTracking) {
  for (Size size : {Size::small, Size::medium, Size::panel}) {
    const Drawn d = draw(view(std::nullopt, size));
    EXPECT_TRUE(d.has(size == Size::small ? "Visitors \u00b7 28d" : "Visitors"));
    EXPECT_TRUE(d.has("\u2014"));
    EXPECT_FALSE(d.hasBadge());
    ASSERT_EQ(d.charts.size(), 1u);
    expectSameShapes(d.charts[0], dayBars(std::vector<double>(28, 0.0), {}, d.chartSizes[0]));
    if (size == Size::small) {
      EXPECT_TRUE(d.has("Check tracking \u203a"));
      EXPECT_FALSE(d.has("No visits in 28 days"));
    } else {
      EXPECT_TRUE(d.has("No visits in 28 days"));
      EXPECT_TRUE(d.has("If the site is live, its tracking code may be missing."));
      EXPECT_TRUE(d.has("Check tracking \u203a"));
    }
    ASSERT_EQ(d.links.size(), 1u);
    EXPECT_EQ(d.links[0].url, kProjectLink);
  }
}

TEST_F(ProjectSummary, VisitorsWithoutAGoalDrawTheCurveAndAskForAGoal) {
  PeriodMetrics m = visitorsOnly(1234);
  m.revenueDisplay = "$120";
  for (Size size : {Size::medium, Size::panel}) {
    const Drawn d = draw(view(m, size));
    EXPECT_TRUE(d.has("1,234"));
    EXPECT_TRUE(d.has("\u219113%"));
    ASSERT_EQ(d.charts.size(), 1u);
    expectSameShapes(d.charts[0], curve(kVisitorDays, kPreviousDays, d.chartSizes[0]));
    EXPECT_TRUE(d.has("What counts as a win?"));
    EXPECT_TRUE(d.has("$120 revenue so far. Set a goal to follow it here."));
    EXPECT_TRUE(d.has("Set a goal \u203a"));
    ASSERT_EQ(d.links.size(), 1u);
    EXPECT_EQ(d.links[0].url, kGoalsLink);
  }
  const Drawn small = draw(view(m, Size::small));
  EXPECT_TRUE(small.has("$120 revenue"));
  EXPECT_TRUE(small.has("Visitors \u00b7 28d"));
  // The small size withholds the previous period.
  expectSameShapes(small.charts.at(0), curve(kVisitorDays, std::nullopt, small.chartSizes[0]));

  const Drawn plain = draw(view(visitorsOnly(1234), Size::medium));
  EXPECT_TRUE(plain.has("Set a goal and its sales or leads show here."));
  EXPECT_TRUE(draw(view(visitorsOnly(1234), Size::small)).has("Set a goal \u203a"));
}

TEST_F(ProjectSummary, ASingleDayOfVisitorsIsNoCurve) {
  PeriodMetrics m = visitorsOnly(5);
  m.visitorsSeries = std::vector<double>{5};
  const Drawn d = draw(view(m, Size::medium));
  ASSERT_EQ(d.charts.size(), 1u);
  expectSameShapes(d.charts[0], dayBars(std::vector<double>(28, 0.0), {}, d.chartSizes[0]));
  EXPECT_TRUE(d.has("What counts as a win?"));
}

TEST_F(ProjectSummary, AGoalAtZeroWithoutVisitorsCountsAsNoData) {
  for (Size size : {Size::small, Size::medium, Size::panel}) {
    const Drawn d = draw(view(withGoal(0, 0), size));
    EXPECT_FALSE(d.has("Signups")) << static_cast<int>(size);
    EXPECT_FALSE(d.has("87"));
    EXPECT_FALSE(d.hasBadge());
    EXPECT_TRUE(d.has(size == Size::small ? "Visitors \u00b7 28d" : "Visitors"));
    EXPECT_TRUE(d.has("Check tracking \u203a"));
    ASSERT_EQ(d.charts.size(), 1u);
    expectSameShapes(d.charts[0], dayBars(std::vector<double>(28, 0.0), {}, d.chartSizes[0]));
    EXPECT_EQ(d.links.at(0).url, kProjectLink);
  }
}

TEST_F(ProjectSummary, AGoalLeadsWithItsBarsAndTheVisitorsFollow) {
  const PeriodMetrics m = withGoal(1234, 87);
  const GoalFigure& goal = *m.goal;
  for (Size size : {Size::medium, Size::panel}) {
    const Drawn d = draw(view(m, size));
    EXPECT_TRUE(d.has("Signups"));
    EXPECT_TRUE(d.has("87"));
    EXPECT_TRUE(d.has("\u21933%"));
    EXPECT_TRUE(d.has("Visitors"));
    EXPECT_TRUE(d.has("\u219113%"));
    EXPECT_FALSE(d.has("What counts as a win?"));
    ASSERT_EQ(d.charts.size(), 2u);
    expectSameShapes(d.charts[0], dayBars(*goal.series, goal.previousSeries, d.chartSizes[0]));
    expectSameShapes(d.charts[1], curve(kVisitorDays, kPreviousDays, d.chartSizes[1]));
    EXPECT_DOUBLE_EQ(d.chartSizes[0].height, size == Size::panel ? 64 : 40);
    EXPECT_EQ(d.links.at(0).url, kProjectLink);
  }
  const Drawn small = draw(view(m, Size::small));
  EXPECT_TRUE(small.has("Signups \u00b7 28d"));
  ASSERT_EQ(small.charts.size(), 1u);
  EXPECT_DOUBLE_EQ(small.chartSizes[0].height, 22);
  // No previous period, so no average line, in the small size.
  expectSameShapes(small.charts[0], dayBars(*goal.series, std::nullopt, small.chartSizes[0]));
  EXPECT_LT(small.charts[0].size(),
            dayBars(*goal.series, goal.previousSeries, small.chartSizes[0]).size());
}

TEST_F(ProjectSummary, AGoalWithoutDaysDrawsOnlyTheBaseline) {
  PeriodMetrics m = withGoal(10, 3);
  m.goal->series.reset();
  const Drawn d = draw(view(m, Size::medium));
  ASSERT_EQ(d.charts.size(), 2u);
  expectSameShapes(d.charts[0], dayBars({}, m.goal->previousSeries, d.chartSizes[0]));
  EXPECT_EQ(dayBars({}, std::nullopt, d.chartSizes[0]).size(), 1u);
}

TEST_F(ProjectSummary, SmallCountsOneVisitorApartFromMany) {
  EXPECT_TRUE(draw(view(withGoal(1, 5), Size::small)).has("1 visitor"));
  EXPECT_TRUE(draw(view(withGoal(0, 5), Size::small)).has("0 visitors"));
  EXPECT_TRUE(draw(view(withGoal(12345, 5), Size::small)).has("12.3K visitors"));
}

TEST_F(ProjectSummary, SmallTrailingTextDropsThePeriodFromTheMeta) {
  ProjectSummaryView stale = view(withGoal(10, 3), Size::small);
  stale.updatedAt = kNow - 2h;
  EXPECT_EQ(headerTrailing(stale), "10:00");
  EXPECT_TRUE(draw(stale).has("10:00"));
  stale.size = Size::medium;
  EXPECT_EQ(headerTrailing(stale), "28 days \u00b7 10:00");

  ProjectSummaryView fresh = view(withGoal(10, 3), Size::small);
  EXPECT_EQ(headerTrailing(fresh), "");
  fresh.size = Size::panel;
  EXPECT_EQ(headerTrailing(fresh), "28 days");

  EXPECT_EQ(withoutFirstPart("28 days \u00b7 5 Mar"), "5 Mar");
  EXPECT_EQ(withoutFirstPart("\u00b7\u00b728 days\u00b7\u00b7 a \u00b7\t b\t"), "a \u00b7\t b");
  EXPECT_EQ(withoutFirstPart(""), "");
}

TEST_F(ProjectSummary, OnlineShowsOutsideSmallUntilTheLiveWindowEnds) {
  ProjectSummaryView v = view(withGoal(10, 3), Size::medium);
  EXPECT_TRUE(draw(v).has("12 now"));
  v.now = v.realtimeUntil;
  EXPECT_FALSE(draw(v).has("12 now"));
  v.now = v.realtimeUntil - 1s;
  v.size = Size::panel;
  EXPECT_TRUE(draw(v).has("12 now"));
  v.size = Size::small;
  EXPECT_FALSE(draw(v).has("12 now"));
  EXPECT_EQ(headerOnline(v), 0);
}

}  // namespace
}  // namespace vx::views
