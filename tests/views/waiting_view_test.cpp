// The waiting widget in its three sizes: caught up, counts, and the list with its links.
#include "views/waiting_view.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "present/component_support.hpp"
#include "ui/ui.hpp"

namespace vx::views {
namespace {

using testing::kLarge;
using testing::kLight;
using testing::kMedium;
using testing::kSmall;
using testing::textNamed;
using testing::texts;
using Size = WaitingView::Size;

const Time kNow = Time{} + std::chrono::hours(24 * 20000);

WaitingItem item(const std::string& id, WaitingItem::Kind kind, int minutesAgo,
                 const std::string& slug = "acme") {
  WaitingItem i;
  i.id = id;
  i.kind = kind;
  i.action = "Ana asked about " + id;
  i.privateAction =
      kind == WaitingItem::Kind::conversation ? "Reply to a visitor" : "Finish an article";
  i.detail = "Message " + id;
  i.site = slug + ".example";
  i.slug = slug;
  i.since = kNow - std::chrono::minutes(minutesAgo);
  i.path = "/app/inbox/" + id;
  return i;
}

Snapshot snapshotWith(std::vector<WaitingItem> waiting) {
  ProjectEntry acme;
  acme.name = "Acme";
  acme.slug = "acme";
  acme.faviconLetter = "A";
  acme.faviconColor = "#0e7490";
  acme.waiting = std::move(waiting);
  Snapshot s;
  s.at = kNow;
  s.projectCount = 1;
  s.projects = {acme};
  return s;
}

// `n` conversations, the newest first: c0 waited 5 minutes, c1 6 minutes, ...
std::vector<WaitingItem> conversations(int n) {
  std::vector<WaitingItem> out;
  for (int i = 0; i < n; ++i) {
    out.push_back(item("c" + std::to_string(i), WaitingItem::Kind::conversation, 5 + i));
  }
  return out;
}

ui::Layout draw(const Snapshot& s, Size size, bool showDetails = true) {
  const ui::Size family = size == Size::small ? kSmall : size == Size::medium ? kMedium : kLarge;
  const WaitingView view{s, showDetails, kNow, size};
  return ui::layout(
      ui::widgetContainer(view.element(kLight), ui::rectangle().fill(ui::Color::white())), family);
}

std::vector<std::string> urls(const ui::Layout& l) {
  std::vector<std::string> out;
  for (const auto& link : ui::linkMap(l)) out.push_back(link.url);
  return out;
}

long timesShown(const ui::Layout& l, const std::string& text) {
  const auto all = texts(l);
  return std::count_if(all.begin(), all.end(), [&](const auto& t) { return t.text == text; });
}

bool shows(const ui::Layout& l, const std::string& text) {
  return timesShown(l, text) > 0;
}

TEST(WaitingView, NothingWaitingIsCaughtUpInEverySize) {
  for (Size size : {Size::small, Size::medium, Size::large}) {
    const ui::Layout l = draw(snapshotWith({}), size);
    const auto all = texts(l);
    ASSERT_EQ(all.size(), 3u);  // the header's title, without a count, and the two lines
    EXPECT_EQ(all[0].text, "Needs you");
    // The block sits at the bottom left of the content area (16-point inset).
    const auto last = textNamed(l, "No one is waiting on a reply.");
    EXPECT_NEAR(last.frame.maxY(), l.canvasSize().height - 16, 0.5);
    EXPECT_DOUBLE_EQ(last.frame.x, 16);
    EXPECT_DOUBLE_EQ(textNamed(l, "All caught up").frame.x, 16);
    EXPECT_TRUE(urls(l).empty());
  }
}

TEST(WaitingView, SmallShowsTheCountsAndLinksToTheFirstItem) {
  const ui::Layout three = draw(snapshotWith(conversations(3)), Size::small);
  EXPECT_TRUE(textNamed(three, "3").accentable);
  EXPECT_DOUBLE_EQ(textNamed(three, "3").run.fontSize, 30);
  EXPECT_TRUE(shows(three, "3 chats to answer"));
  // The header's title, the number below the header (not beside the title), and one line.
  EXPECT_EQ(texts(three).size(), 3u);
  EXPECT_GE(textNamed(three, "3").frame.y, 16 + 20);
  EXPECT_EQ(urls(three), std::vector<std::string>{"vantorix://open/app/inbox/c0"});
  EXPECT_EQ(ui::linkMap(three)[0].rect, (ui::Rect{0, 0, 170, 170}));  // margins included

  auto mixed = conversations(1);
  mixed.push_back(item("a0", WaitingItem::Kind::article, 60));
  mixed.push_back(item("a1", WaitingItem::Kind::article, 61));
  const ui::Layout l = draw(snapshotWith(mixed), Size::small);
  EXPECT_TRUE(shows(l, "1 chat to answer"));
  EXPECT_TRUE(shows(l, "2 articles to finish"));
  EXPECT_LT(textNamed(l, "1 chat to answer").frame.y, textNamed(l, "2 articles to finish").frame.y);

  // A first item whose path does not form a URL leaves the widget without a link.
  auto broken = conversations(2);
  broken[0].path = "/app/inbox/with space";
  EXPECT_TRUE(urls(draw(snapshotWith(broken), Size::small)).empty());
}

TEST(WaitingView, ListsShowTheFirstRowsAndHowManyMore) {
  const Snapshot seven = snapshotWith(conversations(7));
  const ui::Layout medium = draw(seven, Size::medium);
  EXPECT_EQ(texts(medium)[1].text, "7");
  EXPECT_EQ(urls(medium), (std::vector<std::string>{"vantorix://open/app/inbox/c0",
                                                    "vantorix://open/app/inbox/c1"}));
  EXPECT_FALSE(shows(medium, "5 more"));

  const ui::Layout large = draw(seven, Size::large);
  EXPECT_EQ(urls(large).size(), 5u);
  EXPECT_EQ(urls(large).back(), "vantorix://open/app/inbox/c4");
  const auto more = textNamed(large, "2 more");
  EXPECT_GT(more.frame.y, textNamed(large, "Ana asked about c4").frame.maxY());
  EXPECT_FALSE(shows(draw(snapshotWith(conversations(5)), Size::large), "0 more"));

  // Rows start 4 (medium) or 8 (large) points below the 20-point header; they wait 5m, 6m, ...
  EXPECT_TRUE(shows(large, "9m"));
  const auto links = ui::linkMap(large);
  EXPECT_NEAR(links[0].rect.y, 16 + 20 + 8, 0.01);
  EXPECT_NEAR(ui::linkMap(medium)[0].rect.y, 16 + 20 + 4, 0.01);
  // A 1-point separator, indented 38 points, lies between consecutive rows.
  EXPECT_NEAR(links[1].rect.y - links[0].rect.maxY(), 1, 0.01);
  for (const auto& link : links) EXPECT_LE(link.rect.maxY(), 382 - 16 + 0.01);
}

TEST(WaitingView, ReadsHeaderRowsAndFooterInOrder) {
  auto items = conversations(6);
  items[1].slug = "gone";
  const ui::Layout large = draw(snapshotWith(items), Size::large);
  std::vector<std::string> said;
  for (const auto& t : ui::readingOrder(large)) said.push_back(t.text);
  std::vector<std::string> expected{"Needs you", "6"};
  for (int i = 0; i < 5; ++i) {
    const std::string n = std::to_string(i);
    expected.insert(expected.end(),
                    {"Ana asked about c" + n, "Message c" + n, std::to_string(5 + i) + "m"});
  }
  expected.push_back("1 more");
  // The rows' letter tiles only decorate: no "A" is read.
  EXPECT_EQ(said, expected);
  // Each row's link is named by what the row says.
  const auto links = ui::linkMap(large);
  ASSERT_EQ(links.size(), 5u);
  EXPECT_EQ(links[0].name, "Ana asked about c0, Message c0, 5m");
  EXPECT_EQ(links[1].name, "Ana asked about c1, Message c1, 6m");
  // Small: the whole widget is the one link, and says everything.
  const ui::Layout small = draw(snapshotWith(conversations(2)), Size::small);
  EXPECT_EQ(ui::linkMap(small).at(0).name, "Needs you, 2, 2 chats to answer");
}

TEST(WaitingView, RowsKeepNamesAndMessagesPrivateWithoutDetails) {
  auto items = conversations(2);
  items[1].detail = "";
  const ui::Layout shown = draw(snapshotWith(items), Size::medium, true);
  EXPECT_TRUE(shows(shown, "Ana asked about c0"));
  EXPECT_TRUE(shows(shown, "Message c0"));
  EXPECT_TRUE(shows(shown, "acme.example"));  // c1 without a detail falls back to the site

  const ui::Layout hidden = draw(snapshotWith(items), Size::medium, false);
  for (const auto& t : texts(hidden)) {
    EXPECT_EQ(t.text.find("Ana"), std::string::npos) << t.text;
    EXPECT_EQ(t.text.find("Message"), std::string::npos) << t.text;
  }
  EXPECT_EQ(timesShown(hidden, "Reply to a visitor"), 2);
}

TEST(WaitingView, RowsWithoutAProjectOrAValidPath) {
  auto items = conversations(3);
  items[1].slug = "gone";  // no project of that slug: a row without an icon
  items[2].path = "/app/inbox/%zz";
  const Snapshot s = snapshotWith(items);
  const ui::Layout l = draw(s, Size::large);
  // Icons are letter tiles here: one per row with a project.
  EXPECT_EQ(timesShown(l, "A"), 2);
  EXPECT_TRUE(shows(l, "Ana asked about c1"));
  EXPECT_LT(textNamed(l, "Ana asked about c1").frame.x, textNamed(l, "Ana asked about c0").frame.x);
  // The row with the broken path is drawn but not tappable.
  EXPECT_TRUE(shows(l, "Ana asked about c2"));
  EXPECT_EQ(urls(l), (std::vector<std::string>{"vantorix://open/app/inbox/c0",
                                               "vantorix://open/app/inbox/c1"}));
}

}  // namespace
}  // namespace vx::views
