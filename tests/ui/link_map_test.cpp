#include <gtest/gtest.h>

#include "ui/ui.hpp"

namespace vx::ui {
namespace {

TEST(LinkMap, LinksComeOutWhereTheLinkedElementsWereLaidOut) {
  auto rowOf = [](const std::string& name) {
    return text(name)
        .lineLimit(1)
        .frame({.minHeight = 44, .maxHeight = 56})
        .link("vantorix://open/app/projects/" + name);
  };
  auto tree = column({rowOf("a").tag("a"), rectangle().frame(10, 1), rowOf("b").tag("b"), spacer()})
                  .align(HAlign::leading)
                  .padding(16);
  const Layout l = layout(tree, {364, 382});
  auto r = render(l, ImageFormat::png);
  ASSERT_TRUE(r);
  ASSERT_EQ(r->links.size(), 2u);
  EXPECT_EQ(r->links[0].url, "vantorix://open/app/projects/a");
  EXPECT_EQ(r->links[0].rect, *l.frameOf("a"));
  EXPECT_EQ(r->links[1].rect, *l.frameOf("b"));
  EXPECT_DOUBLE_EQ(r->links[1].rect.y, 16 + 56 + 1);
}

TEST(LinkMap, TapOpensTheInnermostLink) {
  auto tree = column({rectangle().frame(100, 20).link("inner://row").tag("row"), spacer()})
                  .link("outer://widget");
  const Layout l = layout(tree.frame(100, 100), {100, 100});
  const auto links = linkMap(l);
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[0].url, "outer://widget");
  const Rect row = *l.frameOf("row");
  EXPECT_EQ(linkAt(links, {row.x + 5, row.y + 5}), "inner://row");
  EXPECT_EQ(linkAt(links, {50, 90}), "outer://widget");
  EXPECT_EQ(linkAt(links, {500, 500}), std::nullopt);
}

TEST(LinkMap, AnAbsentLinkLeavesTheElementUntappable) {
  const std::optional<std::string> none;
  auto tree = column({rectangle().frame(100, 20).link(none).tag("row"), spacer()})
                  .link(std::optional<std::string>("outer://widget"));
  const Layout l = layout(tree.frame(100, 100), {100, 100});
  const auto links = linkMap(l);
  ASSERT_EQ(links.size(), 1u);
  // A tap on the row falls through to the widget's own link.
  EXPECT_EQ(linkAt(links, {5, 5}), "outer://widget");
  EXPECT_TRUE(linkMap(layout(rectangle().link(none), {10, 10})).empty());
}

TEST(LinkMap, ElementsWithoutAreaGiveNoLink) {
  auto tree = row({empty().link("x://empty"), rectangle().frame(0, 10).link("x://zero")});
  EXPECT_TRUE(linkMap(layout(tree, {100, 100})).empty());
}

}  // namespace
}  // namespace vx::ui
