// What each kind draws for an entry: which project a summary widget shows, when the empty state
// stands in for the view, which size a family gets, and the frame every widget sits in.
#include "widgets/entry_views.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "present/component_support.hpp"
#include "ui/ui.hpp"
#include "widgets/driver_json.hpp"

namespace vx::widgets {
namespace {

using host::WidgetFamily;
using testing::kDark;
using testing::kLight;
using testing::texts;

const Time kNow = Time{} + std::chrono::hours(24 * 20000) + std::chrono::hours(12);
constexpr std::string_view kMessage = "Open Vantorix to sign in";

ProjectEntry projectWith(const std::string& slug) {
  ProjectEntry p;
  p.name = slug + ".example";
  p.slug = slug;
  p.faviconLetter = "A";
  p.faviconColor = "#0e7490";
  return p;
}

// A project with figures for one period only.
ProjectEntry projectIn(const std::string& slug, const std::string& period, std::int64_t visitors,
                       std::optional<double> goalValue = std::nullopt) {
  ProjectEntry p = projectWith(slug);
  PeriodMetrics metrics;
  metrics.visitors = visitors;
  if (goalValue) metrics.goal = GoalFigure{"Sign-ups", "3", *goalValue, {}, {}, {}};
  p.metricsByPeriod[period] = metrics;
  return p;
}

Snapshot snapshotOf(std::vector<ProjectEntry> projects) {
  Snapshot s;
  s.at = kNow - std::chrono::minutes(5);
  s.periodAt["days7"] = s.at;
  s.projectCount = static_cast<std::int64_t>(projects.size());
  s.projects = std::move(projects);
  return s;
}

ProjectSummaryWidgetView summaryView(const Snapshot& snapshot, std::optional<std::string> slug,
                                     PeriodOption period = PeriodOption::days7) {
  ProjectSummaryWidgetView view;
  view.entry.date = kNow;
  view.entry.snapshot = snapshot;
  view.entry.message = std::string(kMessage);
  view.entry.configuration.period = period;
  if (slug) view.entry.configuration.project = ProjectEntity{*slug, *slug};
  return view;
}

std::string chosenSlug(const ProjectSummaryWidgetView& view) {
  const auto project = view.project(*view.entry.snapshot);
  return project ? project->slug : "(none)";
}

bool showsText(const ui::Layout& layout, std::string_view text) {
  const auto all = texts(layout);
  return std::any_of(all.begin(), all.end(), [&](const auto& t) { return t.text == text; });
}

template <class View>
ui::Layout laidOut(const View& view, const present::Environment& env = kLight) {
  const host::WidgetSize size = host::size(view.family);
  return ui::layout(view.element(env), ui::Size{size.width, size.height});
}

TEST(ProjectChoiceTest, ConfiguredProjectWinsWhileTheAccountHasIt) {
  const Snapshot s = snapshotOf({projectIn("busy", "days7", 50), projectIn("quiet", "days7", 0)});
  EXPECT_EQ(chosenSlug(summaryView(s, "quiet")), "quiet");
  // Removed from the account: the first project with visitors in the period instead.
  EXPECT_EQ(chosenSlug(summaryView(s, "gone")), "busy");
  EXPECT_EQ(chosenSlug(summaryView(s, std::nullopt)), "busy");
  // The slug is compared exactly.
  EXPECT_EQ(chosenSlug(summaryView(s, "Quiet")), "busy");
}

TEST(ProjectChoiceTest, ActivityIsReadInTheConfiguredPeriod) {
  const Snapshot s = snapshotOf({projectIn("idle", "days7", 0), projectIn("week", "days7", 9),
                                 projectIn("month", "days28", 40)});
  EXPECT_EQ(chosenSlug(summaryView(s, std::nullopt, PeriodOption::days7)), "week");
  EXPECT_EQ(chosenSlug(summaryView(s, std::nullopt, PeriodOption::days28)), "month");
  // Nobody has figures for 90 days: the first project.
  EXPECT_EQ(chosenSlug(summaryView(s, std::nullopt, PeriodOption::days90)), "idle");
}

TEST(ProjectChoiceTest, AGoalThatBroughtSomethingCountsAsActive) {
  const Snapshot s =
      snapshotOf({projectIn("none", "days7", 0, 0.0), projectIn("earning", "days7", 0, 12.5)});
  EXPECT_EQ(chosenSlug(summaryView(s, "missing")), "earning");
}

TEST(ProjectChoiceTest, ProjectWithoutThePeriodIsSkippedButStaysTheFallback) {
  // "first" has no seven-day figures at all, so the scan passes it; "second" has an entry for
  // the period but no activity. Nothing is active, so the very first project is shown.
  const Snapshot s =
      snapshotOf({projectIn("first", "days28", 100), projectIn("second", "days7", 0)});
  EXPECT_EQ(chosenSlug(summaryView(s, std::nullopt)), "first");
  const Snapshot later =
      snapshotOf({projectIn("first", "days28", 100), projectIn("second", "days7", 0),
                  projectIn("third", "days7", 3)});
  EXPECT_EQ(chosenSlug(summaryView(later, std::nullopt)), "third");
  EXPECT_EQ(chosenSlug(summaryView(snapshotOf({}), "any")), "(none)");
}

TEST(EmptyStateTest, SummaryDrawsTheMessageWithoutSnapshotOrProject) {
  ProjectSummaryWidgetView placeholder;
  placeholder.entry.date = kNow;
  placeholder.entry.message = std::string(kMessage);
  EXPECT_TRUE(showsText(laidOut(placeholder), kMessage));
  EXPECT_TRUE(showsText(laidOut(summaryView(snapshotOf({}), "any")), kMessage));
  // With a project to show, the message stays out of sight.
  auto view = summaryView(snapshotOf({projectIn("busy", "days7", 50)}), std::nullopt);
  EXPECT_FALSE(showsText(laidOut(view), kMessage));
  EXPECT_TRUE(showsText(laidOut(view), "busy.example"));
}

TEST(EmptyStateTest, AnAccountWithoutProjectsIsTheMessageForAllProjectsOnly) {
  const Snapshot empty = snapshotOf({});
  AllProjectsWidgetView all;
  all.entry = {kNow, empty, std::string(kMessage), {}};
  all.family = WidgetFamily::systemMedium;
  EXPECT_TRUE(showsText(laidOut(all), kMessage));

  WaitingWidgetView waiting;
  waiting.entry = {kNow, empty, std::string(kMessage), {}};
  waiting.family = WidgetFamily::systemMedium;
  const ui::Layout drawn = laidOut(waiting);
  EXPECT_FALSE(showsText(drawn, kMessage));
  EXPECT_TRUE(showsText(drawn, "Needs you"));

  waiting.entry.snapshot.reset();
  EXPECT_TRUE(showsText(laidOut(waiting), kMessage));

  all.entry.snapshot = snapshotOf({projectIn("busy", "days7", 50)});
  EXPECT_FALSE(showsText(laidOut(all), kMessage));
}

TEST(FamilySizeTest, EachFamilyGetsItsViewSize) {
  using Summary = views::ProjectSummaryView::Size;
  using All = views::AllProjectsView::Size;
  using Waiting = views::WaitingView::Size;
  EXPECT_EQ(projectSummarySize(WidgetFamily::systemSmall), Summary::small);
  for (auto family :
       {WidgetFamily::systemMedium, WidgetFamily::systemLarge, WidgetFamily::systemExtraLarge}) {
    EXPECT_EQ(projectSummarySize(family), Summary::medium);
  }
  EXPECT_EQ(allProjectsSize(WidgetFamily::systemMedium), All::medium);
  EXPECT_EQ(allProjectsSize(WidgetFamily::systemLarge), All::large);
  EXPECT_EQ(allProjectsSize(WidgetFamily::systemExtraLarge), All::extraLarge);
  EXPECT_EQ(waitingSize(WidgetFamily::systemSmall), Waiting::small);
  EXPECT_EQ(waitingSize(WidgetFamily::systemMedium), Waiting::medium);
  EXPECT_EQ(waitingSize(WidgetFamily::systemLarge), Waiting::large);

  // The family reaches the view drawn: the small summary is laid out unlike the medium one.
  auto view = summaryView(snapshotOf({projectIn("busy", "days7", 50)}), std::nullopt);
  view.family = WidgetFamily::systemSmall;
  const std::string small = ui::dumpText(laidOut(view));
  view.family = WidgetFamily::systemMedium;
  const std::string medium = ui::dumpText(laidOut(view));
  EXPECT_NE(small, medium);
}

// Everything but the background lies inside the 16-point inset; the background covers the whole
// widget and is the container background.
void expectFramed(const ui::Layout& layout, host::WidgetSize size, const std::string& what) {
  int backgrounds = 0;
  int drawn = 0;
  std::vector<bool> underBackground;
  layout.visit([&](const ui::Box& box, const ui::Rect& frame, int depth) {
    underBackground.resize(static_cast<std::size_t>(depth) + 1);
    const bool inherited = depth > 0 && underBackground[static_cast<std::size_t>(depth) - 1];
    underBackground[static_cast<std::size_t>(depth)] = inherited || box.containerBackground;
    if (box.containerBackground) {
      ++backgrounds;
      EXPECT_EQ(frame, (ui::Rect{0, 0, size.width, size.height})) << what;
      return;
    }
    if (inherited || std::holds_alternative<ui::contents::None>(box.content)) return;
    ++drawn;
    constexpr double kSlack = 0.5;  // rounding of text metrics
    EXPECT_GE(frame.x, 16 - kSlack) << what << "\n" << ui::dumpText(layout);
    EXPECT_GE(frame.y, 16 - kSlack) << what;
    EXPECT_LE(frame.x + frame.width, size.width - 16 + kSlack) << what;
    EXPECT_LE(frame.y + frame.height, size.height - 16 + kSlack) << what;
  });
  EXPECT_EQ(backgrounds, 1) << what;
  EXPECT_GT(drawn, 0) << what;
}

TEST(OuterLayoutTest, EveryKindSitsInsideTheInsetOverTheBackground) {
  const Snapshot s = snapshotOf({projectIn("busy", "days7", 50), projectIn("quiet", "days7", 0)});
  for (const auto* env : {&kLight, &kDark}) {
    for (auto family : {WidgetFamily::systemSmall, WidgetFamily::systemMedium}) {
      auto view = summaryView(s, std::nullopt);
      view.family = family;
      expectFramed(laidOut(view, *env), host::size(family), "summary");
      view.entry.snapshot.reset();
      expectFramed(laidOut(view, *env), host::size(family), "summary placeholder");
    }
    for (auto family :
         {WidgetFamily::systemMedium, WidgetFamily::systemLarge, WidgetFamily::systemExtraLarge}) {
      AllProjectsWidgetView view{{kNow, s, std::string(kMessage), {}}, family};
      expectFramed(laidOut(view, *env), host::size(family), "all projects");
    }
    for (auto family :
         {WidgetFamily::systemSmall, WidgetFamily::systemMedium, WidgetFamily::systemLarge}) {
      WaitingWidgetView view{{kNow, s, std::string(kMessage), {}}, family};
      expectFramed(laidOut(view, *env), host::size(family), "waiting");
    }
  }
}

// Figures no account has but a broken or hostile answer can carry, and texts no widget holds.
TEST(OuterLayoutTest, AbsurdFiguresAndEndlessTextsStayInsideTheInsetInEveryFamily) {
  const std::string many =
      "\u20ac30,850.00 / \u00a39,876.54 / US$12,345.67 / CHF 4,321.00 / \u00a51,234";
  Snapshot s =
      snapshotOf({projectIn("0", "days7", INT64_MAX, 1), projectIn("1", "days7", INT64_MAX)});
  s.projectCount = INT64_MAX;
  for (ProjectEntry& p : s.projects) {
    p.realtimeVisitors = INT64_MAX;
    PeriodMetrics& m = p.metricsByPeriod["days7"];
    m.visitorsChange = 1e308;
    m.revenueDisplay = p.name = many;
    if (m.goal) m.goal = GoalFigure{"Goal " + many, many, 1e308, -1e20, {}, {}};
    p.waiting.assign(6, WaitingItem{"w", {}, many, many, many, many, p.slug, Time::min(), "/w"});
  }
  auto check = [](const auto& view) {
    const ui::Layout l = laidOut(view);
    expectFramed(l, host::size(view.family), "absurd figures");
    for (const auto& t : texts(l)) {  // a cut line keeps some text before its "…"
      for (const auto& line : t.run.lines) {
        EXPECT_TRUE(!line.text.ends_with("\u2026") || line.text.size() > 6) << t.text;
      }
      EXPECT_TRUE(!t.text.starts_with("Goal ") || t.run.lines.size() == 1) << t.text;
    }
  };
  for (auto family : {WidgetFamily::systemSmall, WidgetFamily::systemMedium,
                      WidgetFamily::systemLarge, WidgetFamily::systemExtraLarge}) {
    auto summary = summaryView(s, "1");  // asks for a goal, its revenue in many currencies
    summary.family = family;
    check(summary);
    check(WaitingWidgetView{{kNow, s, "", {}}, family});
    if (family != WidgetFamily::systemSmall) {
      check(AllProjectsWidgetView{{kNow, s, "", {}}, family});
    }
  }
}

// An entry date read back in whole milliseconds is never before its instant: the entry for the
// end of the live window would otherwise still draw the live figures.
TEST(EntryDateTest, WholeMillisecondsRoundUp) {
  EXPECT_EQ(driver::wholeMilliseconds(Time(std::chrono::microseconds(900'000'001))), 900'001);
}

}  // namespace
}  // namespace vx::widgets
