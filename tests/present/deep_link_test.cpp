// Links into the desktop application: built unchanged from their paths, or not at all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "component_support.hpp"
#include "present/deep_link.hpp"
#include "present/list_row.hpp"

namespace vx::present {
namespace {

using testing::inWidget;
using testing::kLight;
using testing::kMedium;

TEST(DeepLink, ProjectFormsAppendTheSlugUnchanged) {
  EXPECT_EQ(projectLink("acme-shop"), "vantorix://open/app/projects/acme-shop");
  EXPECT_EQ(projectGoalsLink("acme-shop"),
            "vantorix://open/app/projects/acme-shop/analytics?project-settings=analytics.goals");
  // Escapes, dots and sub-delimiters stay as written: nothing is escaped or normalised.
  EXPECT_EQ(projectLink("a%20b"), "vantorix://open/app/projects/a%20b");
  EXPECT_EQ(projectLink("../x"), "vantorix://open/app/projects/../x");
  EXPECT_EQ(projectLink("shop.example_1~(eu)"), "vantorix://open/app/projects/shop.example_1~(eu)");
  EXPECT_EQ(deepLink("/app/inbox/conversations/c-1?site=acme#latest"),
            "vantorix://open/app/inbox/conversations/c-1?site=acme#latest");
  EXPECT_EQ(deepLink(""), "vantorix://open");
  // Escapes of unreserved characters and lower-case escapes are valid, and stay as written.
  EXPECT_EQ(projectLink("a%41b"), "vantorix://open/app/projects/a%41b");
  EXPECT_EQ(projectLink("a%2fb"), "vantorix://open/app/projects/a%2fb");
  EXPECT_EQ(deepLink("/x?y=%7e#f%7E"), "vantorix://open/x?y=%7e#f%7E");
}

TEST(DeepLink, TextThatIsNoValidUrlGivesNoLink) {
  using namespace std::string_literals;
  for (const std::string& slug : std::vector<std::string>{
           "a b", "a\tb", "a\nb", "a%zz", "a%2", "a%", "caf\u00e9", "a\"b", "a<b>", "a\\b", "a{b}",
           "a|b", "a^b", "a`b", "a#b#c", "a#b c", "a\0b"s}) {
    EXPECT_EQ(projectLink(slug), std::nullopt) << slug;
    EXPECT_EQ(projectGoalsLink(slug), std::nullopt) << slug;
  }
}

TEST(DeepLink, APathThatWouldLeaveTheApplicationGivesNoLink) {
  for (const char* path : {"@evil.example/x", ".evil.example/x", ":8080/x", "x/y", "user:pw@h/"}) {
    EXPECT_EQ(deepLink(path), std::nullopt) << path;
  }
}

TEST(DeepLink, RowsCarryTheirLinkIntoTheLinkMapOnlyWhenItIsValid) {
  ProjectEntry p;
  p.slug = "acme";
  p.faviconLetter = "A";
  p.faviconColor = "#06b6d4";
  auto linked = [&](const std::string& slug) {
    return ListRow(p, ui::text(slug), ui::text("12 visitors"), ui::text("5m"), kLight)
        .link(projectLink(slug));
  };
  const ui::Layout l = inWidget(
      ui::column({linked("acme"), linked("bad slug")}).link(projectGoalsLink("acme")), kMedium);
  const auto links = ui::linkMap(l);
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[0].url,
            "vantorix://open/app/projects/acme/analytics?project-settings=analytics.goals");
  EXPECT_EQ(links[1].url, "vantorix://open/app/projects/acme");
  // A tap on the second row falls through to the enclosing link.
  const ui::Rect first = links[1].rect;
  EXPECT_EQ(ui::linkAt(links, {first.x + 5, first.maxY() + 10}), links[0].url);
}

}  // namespace
}  // namespace vx::present
