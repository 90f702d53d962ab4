// The all-projects view over the demo service's account, fetched as the widgets fetch it: every
// period and size stays inside its widget, and links exactly the projects it shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo/calendar.hpp"
#include "demo/service.hpp"
#include "model/clock.hpp"
#include "present/component_support.hpp"
#include "present/widget_background.hpp"
#include "refresh/fetcher.hpp"
#include "store/shared_store.hpp"
#include "support/icu_defaults.hpp"
#include "support/scratch.hpp"
#include "ui/ui.hpp"
#include "views/all_projects_view.hpp"

namespace vx::views {
namespace {

using Size = AllProjectsView::Size;

class AllProjectsOverDemoData : public ::testing::Test {
 protected:
  void SetUp() override {
    vx::clock::pin(*demo::parseStamp("2026-03-10T12:00:00Z"));
    demo::ServiceOptions options;
    options.port = 0;
    options.projects = 12;  // more than a snapshot holds
    service_ = std::make_unique<demo::Service>(options);
    ASSERT_EQ(service_->start(), "");
    const auto folder = SharedStore::folder();
    ASSERT_TRUE(folder);
    testing::writeFile(*folder / "session.json",
                       demo::sessionDocument(service_->port(), options.token));
  }
  void TearDown() override {
    if (service_) service_->stop();
    vx::clock::unpin();
  }

  testing::ScratchFolder home_;
  testing::ScopedEnvironment dataHome_{"XDG_DATA_HOME", (home_.path() / "data").string()};
  testing::IcuDefaults icu_{"en_US", "UTC"};
  std::unique_ptr<demo::Service> service_;
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

bool inside(const ui::Rect& inner, const ui::Rect& outer) {
  constexpr double e = 0.01;
  return inner.x >= outer.x - e && inner.y >= outer.y - e && inner.maxX() <= outer.maxX() + e &&
         inner.maxY() <= outer.maxY() + e;
}

bool overlap(const ui::Rect& a, const ui::Rect& b) {
  constexpr double e = 0.01;
  return a.x < b.maxX() - e && b.x < a.maxX() - e && a.y < b.maxY() - e && b.y < a.maxY() - e;
}

void expectInside(const ui::Layout& l, ui::Size family, const std::string& what) {
  const ui::Rect widget{0, 0, family.width, family.height};
  l.visit([&](const ui::Box& box, const ui::Rect& f, int) {
    EXPECT_TRUE(inside(f, widget)) << what << ": " << box.kind << " at " << f.x << "," << f.y << " "
                                   << f.width << "x" << f.height;
  });
  const auto texts = present::testing::texts(l);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    for (std::size_t j = i + 1; j < texts.size(); ++j) {
      EXPECT_FALSE(overlap(texts[i].frame, texts[j].frame))
          << what << ": \"" << texts[i].text << "\" and \"" << texts[j].text << "\"";
    }
  }
}

TEST_F(AllProjectsOverDemoData, EverySizeFitsItsWidgetAndLinksTheProjectsItShows) {
  const struct {
    Size size;
    ui::Size family;
  } sizes[] = {{Size::medium, present::testing::kMedium},
               {Size::large, present::testing::kLarge},
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
        expectInside(l, s.family, what);
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
