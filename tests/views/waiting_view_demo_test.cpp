// The waiting view over the demo service's account, fetched as the widgets fetch it: every size
// stays inside its widget and links exactly the items it shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/clock.hpp"
#include "present/component_support.hpp"
#include "present/deep_link.hpp"
#include "refresh/fetcher.hpp"
#include "store/shared_store.hpp"
#include "ui/ui.hpp"
#include "views/demo_account.hpp"
#include "views/waiting_view.hpp"

namespace vx::views {
namespace {

using Size = WaitingView::Size;

class WaitingViewOverDemoData : public testing::DemoAccount {
 protected:
  WaitingViewOverDemoData() : DemoAccount(6) {}
};

TEST_F(WaitingViewOverDemoData, EverySizeFitsItsWidgetAndLinksWhatItShows) {
  auto outcome = refresh::Fetcher().current(std::nullopt);
  ASSERT_TRUE(outcome.snapshot);
  const Snapshot& snapshot = *outcome.snapshot;
  const std::vector<WaitingItem> waiting = snapshot.waiting();
  ASSERT_GT(waiting.size(), 5u) << "the demo account should fill the large list";
  // The rows a large widget shows read like a real inbox: each waits its own time, and visitors
  // are among them.
  bool conversation = false;
  for (std::size_t i = 0; i < 5; ++i) {
    conversation = conversation || waiting[i].kind == WaitingItem::Kind::conversation;
    if (i > 0) {
      EXPECT_LT(waiting[i].since, waiting[i - 1].since) << i;
    }
  }
  EXPECT_TRUE(conversation);

  const struct {
    Size size;
    ui::Size family;
    std::size_t rows;
  } sizes[] = {{Size::small, testing::kSmall, 1},
               {Size::medium, testing::kMedium, 2},
               {Size::large, testing::kLarge, 5}};
  for (const auto& s : sizes) {
    for (bool showDetails : {true, false}) {
      for (auto scheme : {present::ColorScheme::light, present::ColorScheme::dark}) {
        const WaitingView view{snapshot, showDetails, vx::clock::now(), s.size};
        const ui::Layout l =
            ui::layout(ui::widgetContainer(view.element({scheme, SharedStore::folder()}),
                                           ui::rectangle().fill(present::Ink(scheme).background)),
                       s.family);
        testing::expectInsideWidget(l, s.family,
                                    "size " + std::to_string(static_cast<int>(s.size)));
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
