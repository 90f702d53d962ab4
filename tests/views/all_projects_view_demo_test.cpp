// The all-projects view over the demo service's account, fetched as the widgets fetch it: every
// period and size stays inside its widget, and links exactly the projects it shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/clock.hpp"
#include "present/component_support.hpp"
#include "present/widget_background.hpp"
#include "refresh/fetcher.hpp"
#include "store/shared_store.hpp"
#include "ui/ui.hpp"
#include "views/all_projects_view.hpp"
#include "views/demo_account.hpp"

namespace vx::views {
namespace {

using Size = AllProjectsView::Size;

class AllProjectsOverDemoData : public testing::DemoAccount {
 protected:
  AllProjectsOverDemoData() : DemoAccount(12) {}  // more than a snapshot holds
};

bool activeIn(const ProjectEntry& p, WidgetPeriod period) {
  const auto m = p.metrics(period);
  return m && (m->visitors > 0 || (m->goal && m->goal->value > 0));
}

// The link of a project's row or panel: its goal settings when it is busy without a goal.
std::string linkOf(const ProjectEntry& p, WidgetPeriod period) {
  const auto m = p.metrics(period);
  const bool asksForGoal = activeIn(p, period) && !m->goal;
  return "vantorix://open/app/projects/" + p.slug +
         (asksForGoal ? "/analytics?project-settings=analytics.goals" : "");
}

// The links a size shows, in reading order: the featured panel's, then one per row.
std::vector<std::string> expectedLinks(const Snapshot& s, WidgetPeriod period, Size size) {
  std::vector<ProjectEntry> ordered;
  for (const auto& p : s.projects) {
    if (activeIn(p, period)) ordered.push_back(p);
  }
  for (const auto& p : s.projects) {
    if (!activeIn(p, period)) ordered.push_back(p);
  }
  std::vector<std::string> links;
  std::size_t first = 0;
  if (size == Size::extraLarge && !ordered.empty() && activeIn(ordered[0], period)) {
    links.push_back(linkOf(ordered[0], period));
    first = 1;
  }
  const std::size_t rows = size == Size::medium ? 2 : 6;
  for (std::size_t i = first; i < ordered.size() && i < first + rows; ++i) {
    links.push_back(linkOf(ordered[i], period));
  }
  return links;
}

TEST_F(AllProjectsOverDemoData, EverySizeFitsItsWidgetAndLinksTheProjectsItShows) {
  const struct {
    Size size;
    ui::Size family;
  } sizes[] = {{Size::medium, testing::kMedium},
               {Size::large, testing::kLarge},
               {Size::extraLarge, ui::Size{748, 382}}};
  bool sawInactive = false;
  bool sawFeatured = false;
  for (WidgetPeriod period : kAllWidgetPeriods) {
    auto outcome = refresh::Fetcher().current(period);
    ASSERT_TRUE(outcome.snapshot);
    const Snapshot& snapshot = *outcome.snapshot;
    ASSERT_GT(snapshot.projectCount, static_cast<std::int64_t>(snapshot.projects.size()));
    for (const auto& p : snapshot.projects) sawInactive = sawInactive || !activeIn(p, period);
    for (const auto& s : sizes) {
      const std::vector<std::string> expected = expectedLinks(snapshot, period, s.size);
      for (const auto& p : snapshot.projects) {
        sawFeatured = sawFeatured || (s.size == Size::extraLarge && activeIn(p, period));
      }
      for (auto scheme : {present::ColorScheme::light, present::ColorScheme::dark}) {
        const present::Environment env{scheme, SharedStore::folder()};
        const AllProjectsView view{snapshot, period, clock::now(), s.size};
        const ui::Layout l = ui::layout(
            ui::widgetContainer(view.element(env), present::WidgetBackground(env)), s.family);
        const std::string what =
            std::string(rawValue(period)) + " size " + std::to_string(static_cast<int>(s.size));
        testing::expectInsideWidget(l, s.family, what);
        testing::expectTextsApart(l, what);
        for (auto mode : {ui::RenderingMode::fullColor, ui::RenderingMode::accented}) {
          ui::RenderOptions options;
          options.mode = mode;
          const auto png = ui::render(l, ui::ImageFormat::png, options);
          ASSERT_TRUE(png) << what;
          std::vector<std::string> urls;
          for (const auto& link : png->links) urls.push_back(link.url);
          EXPECT_EQ(urls, expected) << what;
        }
      }
    }
  }
  EXPECT_TRUE(sawInactive) << "the demo account should hold a project without activity";
  EXPECT_TRUE(sawFeatured) << "the demo account should feature a project";
}

}  // namespace
}  // namespace vx::views
