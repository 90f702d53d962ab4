// The waiting view over the demo service's account, fetched as the widgets fetch it: every size
// stays inside its widget and links exactly the items it shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo/calendar.hpp"
#include "demo/service.hpp"
#include "model/clock.hpp"
#include "present/component_support.hpp"
#include "present/deep_link.hpp"
#include "refresh/fetcher.hpp"
#include "store/shared_store.hpp"
#include "support/icu_defaults.hpp"
#include "support/scratch.hpp"
#include "ui/ui.hpp"
#include "views/waiting_view.hpp"

namespace vx::views {
namespace {

using Size = WaitingView::Size;

class WaitingViewOverDemoData : public ::testing::Test {
 protected:
  void SetUp() override {
    vx::clock::pin(*demo::parseStamp("2026-03-10T12:00:00Z"));
    demo::ServiceOptions options;
    options.port = 0;
    options.projects = 6;
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

TEST_F(WaitingViewOverDemoData, EverySizeFitsItsWidgetAndLinksWhatItShows) {
  auto outcome = refresh::Fetcher().current(std::nullopt);
  ASSERT_TRUE(outcome.snapshot);
  const Snapshot& snapshot = *outcome.snapshot;
  const std::vector<WaitingItem> waiting = snapshot.waiting();
  ASSERT_GT(waiting.size(), 5u) << "the demo account should fill the large list";

  const struct {
    Size size;
    ui::Size family;
    std::size_t rows;
  } sizes[] = {{Size::small, present::testing::kSmall, 1},
               {Size::medium, present::testing::kMedium, 2},
               {Size::large, present::testing::kLarge, 5}};
  for (const auto& s : sizes) {
    for (bool showDetails : {true, false}) {
      for (auto scheme : {present::ColorScheme::light, present::ColorScheme::dark}) {
        const WaitingView view{snapshot, showDetails, vx::clock::now(), s.size};
        const ui::Layout l =
            ui::layout(ui::widgetContainer(view.element({scheme, SharedStore::folder()}),
                                           ui::rectangle().fill(present::Ink(scheme).background)),
                       s.family);
        const ui::Rect widget{0, 0, s.family.width, s.family.height};
        l.visit([&](const ui::Box&, const ui::Rect& f, int) {
          EXPECT_TRUE(f.x >= widget.x - 0.01 && f.y >= widget.y - 0.01 &&
                      f.maxX() <= widget.maxX() + 0.01 && f.maxY() <= widget.maxY() + 0.01)
              << "a box at " << f.x << "," << f.y << " " << f.width << "x" << f.height;
        });
        // The small widget links to the first item as a whole; lists link each shown row.
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < s.rows; ++i) {
          if (auto url = present::deepLink(waiting[i].path)) expected.push_back(*url);
        }
        std::vector<std::string> urls;
        for (const auto& link : ui::linkMap(l)) urls.push_back(link.url);
        EXPECT_EQ(urls, expected);
        EXPECT_FALSE(urls.empty());
        EXPECT_TRUE(ui::render(l, ui::ImageFormat::png).has_value());
      }
    }
  }
}

}  // namespace
}  // namespace vx::views
