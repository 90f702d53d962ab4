// The project summary view over the demo service's account, for every project and period: in
// each size and scheme it stays inside its widget, no two texts overlap, and no text is cut but
// the project's name (or a headline figure that has shrunk to half first); it draws in accented
// mode with its one link over the whole content.
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
#include "views/project_summary_view.hpp"

namespace vx::views {
namespace {

using Size = ProjectSummaryView::Size;

class ProjectSummaryOverDemoData : public ::testing::Test {
 protected:
  void SetUp() override {
    vx::clock::pin(*demo::parseStamp("2026-03-10T12:00:00Z"));
    demo::ServiceOptions options;
    options.port = 0;
    options.projects = 15;
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

bool inside(const ui::Rect& inner, const ui::Rect& outer) {
  constexpr double e = 0.01;
  return inner.x >= outer.x - e && inner.y >= outer.y - e && inner.maxX() <= outer.maxX() + e &&
         inner.maxY() <= outer.maxY() + e;
}

bool overlap(const ui::Rect& a, const ui::Rect& b) {
  constexpr double e = 0.01;
  return a.x < b.maxX() - e && b.x < a.maxX() - e && a.y < b.maxY() - e && b.y < a.maxY() - e;
}

void expectSound(const ui::Layout& l, ui::Size family, const std::string& name,
                 const std::string& what) {
  const ui::Rect widget{0, 0, family.width, family.height};
  l.visit([&](const ui::Box& box, const ui::Rect& f, int) {
    EXPECT_TRUE(inside(f, widget)) << what << ": " << box.kind << " at " << f.x << "," << f.y << " "
                                   << f.width << "x" << f.height;
  });
  const auto texts = present::testing::texts(l);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const auto& t = texts[i];
    if (t.run.truncated) {
      // Only the project's name in the header is cut, on its one line, or a figure that has
      // shrunk to half its size first.
      EXPECT_EQ(t.run.lines.size(), 1u) << what << ": " << t.text;
      EXPECT_TRUE(t.text == name || (t.accentable && t.run.scale == 0.5)) << what << ": " << t.text;
    }
    for (std::size_t j = i + 1; j < texts.size(); ++j) {
      EXPECT_FALSE(overlap(t.frame, texts[j].frame))
          << what << ": \"" << t.text << "\" and \"" << texts[j].text << "\"";
    }
  }
}

TEST_F(ProjectSummaryOverDemoData, EveryProjectAndPeriodFitsEachSize) {
  const struct {
    Size size;
    ui::Size family;
  } sizes[] = {{Size::small, present::testing::kSmall},
               {Size::medium, present::testing::kMedium},
               {Size::panel, present::testing::kLarge}};
  int drawn = 0;
  for (WidgetPeriod period : kAllWidgetPeriods) {
    auto outcome = refresh::Fetcher().current(period);
    ASSERT_TRUE(outcome.snapshot);
    const Snapshot& snapshot = *outcome.snapshot;
    ASSERT_FALSE(snapshot.projects.empty());
    for (const ProjectEntry& project : snapshot.projects) {
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
          EXPECT_EQ(png->links[0].rect,
                    (ui::Rect{16, 16, s.family.width - 32, s.family.height - 32}));
          ++drawn;
        }
      }
    }
  }
  EXPECT_GE(drawn, 4 * 10 * 3 * 2);
}

}  // namespace
}  // namespace vx::views
