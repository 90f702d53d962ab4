// The project summary view over the demo service's account, for every project and period: in
// each size and scheme it stays inside its widget, no two texts overlap, and no text is cut but
// the project's name (or a headline figure that has shrunk to half first); it draws in accented
// mode with its one link over the whole widget (the panel: over its own area).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/clock.hpp"
#include "present/chart_dots.hpp"
#include "present/component_support.hpp"
#include "present/widget_background.hpp"
#include "refresh/fetcher.hpp"
#include "store/shared_store.hpp"
#include "ui/ui.hpp"
#include "views/demo_account.hpp"
#include "views/project_summary_view.hpp"

namespace vx::views {
namespace {

using Size = ProjectSummaryView::Size;

class ProjectSummaryOverDemoData : public testing::DemoAccount {
 protected:
  ProjectSummaryOverDemoData() : DemoAccount(15) {}
};

void expectSound(const ui::Layout& l, ui::Size family, const std::string& name,
                 const std::string& what) {
  testing::expectInsideWidget(l, family, what);
  for (const auto& t : testing::texts(l)) {
    if (t.run.truncated) {
      // Only the project's name in the header is cut, on its one line, or a figure that has
      // shrunk to half its size first.
      EXPECT_EQ(t.run.lines.size(), 1u) << what << ": " << t.text;
      EXPECT_TRUE(t.text == name || (t.accentable && t.run.scale == 0.5)) << what << ": " << t.text;
    }
  }
  testing::expectTextsApart(l, what);
}

TEST_F(ProjectSummaryOverDemoData, EveryProjectAndPeriodFitsEachSize) {
  const struct {
    Size size;
    ui::Size family;
  } sizes[] = {{Size::small, testing::kSmall},
               {Size::medium, testing::kMedium},
               {Size::panel, testing::kLarge}};
  int drawn = 0;
  bool dots = false;  // the account shows a goal whose days are drawn as dots
  for (WidgetPeriod period : kAllWidgetPeriods) {
    auto outcome = refresh::Fetcher().current(period);
    ASSERT_TRUE(outcome.snapshot);
    const Snapshot& snapshot = *outcome.snapshot;
    ASSERT_FALSE(snapshot.projects.empty());
    for (const ProjectEntry& project : snapshot.projects) {
      const auto metrics = project.metrics(period);
      dots = dots || (metrics && metrics->goal && metrics->goal->series &&
                      present::countsAsDots(*metrics->goal->series));
      for (const auto& s : sizes) {
        for (auto scheme : {present::ColorScheme::light, present::ColorScheme::dark}) {
          const present::Environment env{scheme, SharedStore::folder()};
          const ProjectSummaryView view{
              project,      period, snapshot.updatedAt(period), clock::addSeconds(snapshot.at, 900),
              clock::now(), s.size};
          const ui::Layout l = ui::layout(
              ui::widgetContainer(view.element(env), present::WidgetBackground(env)), s.family);
          expectSound(l, s.family, project.name,
                      project.slug + " " + std::string(rawValue(period)) + " size " +
                          std::to_string(static_cast<int>(s.size)));
          ui::RenderOptions accented;
          accented.mode = ui::RenderingMode::accented;
          const auto png = ui::render(l, ui::ImageFormat::png, accented);
          ASSERT_TRUE(png);
          ASSERT_EQ(png->links.size(), 1u);
          const double m = s.size == Size::panel ? 16 : 0;  // only the panel keeps to its area
          EXPECT_EQ(png->links[0].rect,
                    (ui::Rect{m, m, s.family.width - 2 * m, s.family.height - 2 * m}));
          ++drawn;
        }
      }
    }
  }
  EXPECT_GE(drawn, 4 * 10 * 3 * 2);
  EXPECT_TRUE(dots);
}

}  // namespace
}  // namespace vx::views
