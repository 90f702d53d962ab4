// The all-projects widget read back through its dump and link map: which projects come first,
// which one is featured, how many rows and how many more, what each row says and where it links.
#include "views/all_projects_view.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "present/component_support.hpp"
#include "support/icu_defaults.hpp"
#include "ui/ui.hpp"

namespace vx::views {
namespace {

using namespace std::chrono_literals;
using testing::kLarge;
using testing::kMedium;
using testing::textNamed;
using Size = AllProjectsView::Size;

constexpr ui::Size kExtraLarge{748, 382};

// 2026-03-10 12:00 UTC.
const Time kNow = Time{} + 1773144000s;

const std::string kLinkBase = "vantorix://open/app/projects/";
const std::string kGoalsSuffix = "/analytics?project-settings=analytics.goals";

ProjectEntry project(const std::string& name, const std::string& slug) {
  ProjectEntry p;
  p.name = name;
  p.slug = slug;
  p.faviconLetter = name.substr(0, 1);
  p.faviconColor = "#0e7490";
  return p;
}

PeriodMetrics visitors(std::int64_t count, std::optional<double> change = std::nullopt) {
  PeriodMetrics m;
  m.visitors = count;
  m.visitorsChange = change;
  return m;
}

GoalFigure goal(const std::string& name, const std::string& display, double value,
                std::optional<double> change = std::nullopt) {
  GoalFigure g;
  g.name = name;
  g.display = display;
  g.value = value;
  g.change = change;
  return g;
}

ProjectEntry withMetrics(ProjectEntry p, const PeriodMetrics& m) {
  p.metricsByPeriod["days28"] = m;
  return p;
}

// A (no figures), B (10 visitors), C (a goal result of 2 without visitors).
std::vector<ProjectEntry> abc() {
  PeriodMetrics c = visitors(0);
  c.goal = goal("Signups", "2.0", 2);
  return {project("Alpha", "a"), withMetrics(project("Bravo", "b"), visitors(10)),
          withMetrics(project("Charlie", "c"), c)};
}

// `n` projects without figures: p0, p1, ...
std::vector<ProjectEntry> quiet(int n) {
  std::vector<ProjectEntry> out;
  for (int i = 0; i < n; ++i)
    out.push_back(project("Quiet " + std::to_string(i), "p" + std::to_string(i)));
  return out;
}

Snapshot snapshotOf(std::vector<ProjectEntry> projects, std::int64_t projectCount = -1) {
  Snapshot s;
  s.at = kNow - 5min;
  s.projectCount = projectCount < 0 ? static_cast<std::int64_t>(projects.size()) : projectCount;
  s.projects = std::move(projects);
  return s;
}

ui::Size familyOf(Size size) {
  switch (size) {
    case Size::medium:
      return kMedium;
    case Size::large:
      return kLarge;
    case Size::extraLarge:
      return kExtraLarge;
  }
  return kMedium;
}

struct Drawn {
  ui::Layout layout;
  std::string dump;
  std::vector<std::string> urls;

  [[nodiscard]] bool shows(const std::string& text) const {
    return dump.find('"' + text + '"') != std::string::npos;
  }
  [[nodiscard]] long count(const std::string& needle) const {
    long n = 0;
    for (std::size_t at = dump.find(needle); at != std::string::npos;
         at = dump.find(needle, at + needle.size())) {
      ++n;
    }
    return n;
  }
};

Drawn draw(const Snapshot& s, Size size, Time now = kNow) {
  const AllProjectsView view{s, WidgetPeriod::days28, now, size};
  ui::Layout l = ui::layout(
      ui::widgetContainer(view.element(testing::kLight), ui::rectangle().fill(ui::Color::white())),
      familyOf(size));
  Drawn d{l, ui::dumpText(l), {}};
  for (const auto& link : ui::linkMap(l)) d.urls.push_back(link.url);
  return d;
}

std::vector<std::string> plainLinks(const std::vector<std::string>& slugs) {
  std::vector<std::string> out;
  for (const auto& slug : slugs) out.push_back(kLinkBase + slug);
  return out;
}

class AllProjects : public ::testing::Test {
 protected:
  testing::IcuDefaults icu_{"en_GB", "UTC"};
};

TEST_F(AllProjects, ActiveProjectsComeFirstInSnapshotOrder) {
  // A has no figures, B visitors without a goal (its link asks for one), C a goal result.
  const std::vector<std::string> bca = {kLinkBase + "b" + kGoalsSuffix, kLinkBase + "c",
                                        kLinkBase + "a"};
  EXPECT_EQ(draw(snapshotOf(abc()), Size::large).urls, bca);
}

TEST_F(AllProjects, ExtraLargeFeaturesTheFirstActiveProjectBesideTheOthers) {
  const Drawn d = draw(snapshotOf(abc()), Size::extraLarge);
  // The panel's one link covers the left part; the rows of C and A follow.
  ASSERT_EQ(d.urls.size(), 3u);
  EXPECT_EQ(d.urls, (std::vector<std::string>{kLinkBase + "b" + kGoalsSuffix, kLinkBase + "c",
                                              kLinkBase + "a"}));
  const auto links = ui::linkMap(d.layout);
  EXPECT_LT(links[0].rect.maxX(), links[1].rect.x - 48);  // the divider and its padding between
  EXPECT_GT(links[0].rect.height, 300);
  EXPECT_TRUE(d.shows("Other projects"));
  EXPECT_FALSE(d.shows("Projects"));
  EXPECT_EQ(textNamed(d.layout, "2").frame.y, textNamed(d.layout, "Other projects").frame.y);
  EXPECT_TRUE(d.shows("Bravo"));  // the panel's header names the featured project
  EXPECT_GT(textNamed(d.layout, "Other projects").frame.x, links[0].rect.maxX());

  // With nothing active nothing is featured: the plain list of up to 6 rows.
  const Drawn none = draw(snapshotOf(quiet(8)), Size::extraLarge);
  EXPECT_TRUE(none.shows("Projects"));
  EXPECT_FALSE(none.shows("Other projects"));
  EXPECT_EQ(none.urls, plainLinks({"p0", "p1", "p2", "p3", "p4", "p5"}));
  EXPECT_TRUE(none.shows("2 more projects"));
  // Smaller sizes never feature a project, even an active one.
  EXPECT_TRUE(draw(snapshotOf(abc()), Size::large).shows("Projects"));
  EXPECT_FALSE(draw(snapshotOf(abc()), Size::medium).shows("Other projects"));
}

TEST_F(AllProjects, RowsAndTheMoreFooterFollowTheAccountsTotal) {
  const Drawn medium = draw(snapshotOf(quiet(9)), Size::medium);
  EXPECT_EQ(medium.urls, plainLinks({"p0", "p1"}));
  EXPECT_EQ(medium.count("more project"), 0);

  const Drawn nine = draw(snapshotOf(quiet(9)), Size::large);
  EXPECT_EQ(nine.urls.size(), 6u);
  EXPECT_TRUE(nine.shows("3 more projects"));
  EXPECT_TRUE(nine.shows("9"));
  // The footer sits at the bottom edge of the content, below the last row.
  const auto footer = textNamed(nine.layout, "3 more projects");
  EXPECT_NEAR(footer.frame.maxY(), kLarge.height - 16, 1.0);
  EXPECT_GT(footer.frame.y, ui::linkMap(nine.layout).back().rect.maxY());

  EXPECT_TRUE(draw(snapshotOf(quiet(7)), Size::large).shows("1 more project"));
  EXPECT_EQ(draw(snapshotOf(quiet(6)), Size::large).count("more project"), 0);

  // The service lists more projects than the snapshot holds: both counts use its total.
  const Drawn partial = draw(snapshotOf(quiet(3), 12), Size::large);
  EXPECT_TRUE(partial.shows("12"));
  EXPECT_TRUE(partial.shows("9 more projects"));
  EXPECT_EQ(partial.urls.size(), 3u);

  // Beside a featured project the list counts the others: 9 − 1 in the header, 9 − 1 − 6 more.
  auto projects = quiet(8);
  projects.insert(projects.begin() + 3, withMetrics(project("Busy", "busy"), visitors(40)));
  const Drawn featured = draw(snapshotOf(projects), Size::extraLarge);
  EXPECT_TRUE(featured.shows("8"));
  EXPECT_TRUE(featured.shows("2 more projects"));
  EXPECT_EQ(featured.urls.size(), 7u);
}

TEST_F(AllProjects, ACachedTotalBelowTheProjectsHeldNeverCountsNegative) {
  // A snapshot file may carry a total smaller than its list; the counts then follow the list.
  const Drawn d = draw(snapshotOf(abc(), 0), Size::extraLarge);
  EXPECT_TRUE(d.shows("2"));
  EXPECT_FALSE(d.shows("-1"));
  EXPECT_EQ(d.count("more project"), 0);
  EXPECT_TRUE(draw(snapshotOf(quiet(8), 1), Size::large).shows("2 more projects"));
}

TEST_F(AllProjects, RowsShowVisitorsAndTheGoalOrWhatToDoNext) {
  PeriodMetrics one = visitors(1, 12.6);
  one.goal = goal("Signups", "87", 87, -3.2);
  PeriodMetrics idleGoal = visitors(0);
  idleGoal.goal = goal("Sales", "$0", 0);
  const Drawn d =
      draw(snapshotOf({withMetrics(project("Goal", "goal"), one),
                       withMetrics(project("Plain", "plain"), visitors(1234, -0.4)),
                       withMetrics(project("Idle", "idle"), idleGoal), project("Empty", "empty")}),
           Size::large);
  // Active with a goal: visitors with their change, the goal's figure over its name and change.
  EXPECT_TRUE(d.shows("1 visitor"));
  EXPECT_TRUE(d.shows("\u219113%"));
  EXPECT_TRUE(d.shows("87"));
  EXPECT_TRUE(d.shows("Signups"));
  EXPECT_TRUE(d.shows("\u21933%"));
  EXPECT_LT(textNamed(d.layout, "87").frame.y, textNamed(d.layout, "Signups").frame.y);
  // Active without a goal: a change that rounds to 0 draws nothing, and the row asks for a goal.
  EXPECT_TRUE(d.shows("1,234 visitors"));
  EXPECT_EQ(d.count("\u2193"), 1);
  EXPECT_TRUE(d.shows("Set a goal \u203a"));
  // An inactive period keeps its goal figure, says it had no visits, and links plainly.
  EXPECT_TRUE(d.shows("$0"));
  EXPECT_TRUE(d.shows("Sales"));
  EXPECT_EQ(d.count("\"No visits in 28 days\""), 2);
  EXPECT_TRUE(d.shows("Check tracking \u203a"));
  EXPECT_EQ(d.count("\"Check tracking \u203a\""), 1);  // only the project without a goal
  EXPECT_EQ(d.urls,
            (std::vector<std::string>{kLinkBase + "goal", kLinkBase + "plain" + kGoalsSuffix,
                                      kLinkBase + "idle", kLinkBase + "empty"}));
}

TEST_F(AllProjects, LiveDotsEndFifteenMinutesAfterTheSnapshot) {
  auto projects = abc();
  projects[1].realtimeVisitors = 4;
  projects[2].realtimeVisitors = 0;  // nobody online: no dot even while live
  projects[0].realtimeVisitors = 2;
  Snapshot s = snapshotOf(projects);
  s.at = kNow - 15min + 1s;
  const Drawn live = draw(s, Size::large);
  EXPECT_EQ(live.count("ellipse"), 2);
  EXPECT_FALSE(live.shows("4 now"));  // rows show the dot alone

  s.at = kNow - 15min;
  const Drawn over = draw(s, Size::large);
  EXPECT_EQ(over.count("ellipse"), 0);
  EXPECT_TRUE(over.shows("10 visitors"));
  EXPECT_TRUE(over.shows("2.0"));
  // The featured panel's online count ends with the same window.
  EXPECT_TRUE(draw(snapshotOf(projects), Size::extraLarge).shows("4 now"));
  EXPECT_FALSE(draw(s, Size::extraLarge).shows("4 now"));
}

TEST_F(AllProjects, ARowWhoseLinkIsNoURLIsDrawnButNotTappable) {
  auto projects = quiet(3);
  projects[1].slug = "with space";
  const Drawn d = draw(snapshotOf(projects), Size::large);
  EXPECT_TRUE(d.shows("Quiet 1"));
  EXPECT_EQ(d.urls, plainLinks({"p0", "p2"}));
  // A featured project with such a slug keeps its panel, unlinked, and the rows keep theirs.
  projects[1].metricsByPeriod["days28"] = visitors(5);
  const Drawn xl = draw(snapshotOf(projects), Size::extraLarge);
  EXPECT_TRUE(xl.shows("Quiet 1"));
  EXPECT_EQ(xl.urls, plainLinks({"p0", "p2"}));
}

}  // namespace
}  // namespace vx::views
