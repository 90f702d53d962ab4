// What a widget window tells a screen reader, from the texts and links of its drawing.
#include "desktop/accessible_content.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace vx::desktop {
namespace {

using Json = nlohmann::json;
using Role = AccessibleItem::Role;

Json text(const std::string& said, double y) {
  return {{"text", said}, {"rect", {16, y, 100, 14}}};
}

Json link(const std::string& name, const std::string& url, Json rect) {
  return {{"name", name}, {"url", url}, {"rect", std::move(rect)}};
}

std::vector<std::string> said(const std::vector<AccessibleItem>& items) {
  std::vector<std::string> out;
  for (const auto& item : items) {
    out.push_back((item.role == Role::link ? "link " : "") + item.name);
  }
  return out;
}

TEST(AccessibleContent, TextsInTapTargetsAreReadAsTheirLinksOnce) {
  const Json record = {{"texts",
                        {text("Needs you", 16), text("Ana", 44), text("5m", 60), text("Bo", 100),
                         text("1 more", 150)}},
                       {"links",
                        {link("Ana, 5m", "vantorix://open/a", {16, 40, 332, 44}),
                         link("Bo", "vantorix://open/b", {16, 96, 332, 44}),
                         link("", "vantorix://open/icon", {300, 0, 20, 20})}}};
  const auto items = accessibleContent(record);
  EXPECT_EQ(said(items), (std::vector<std::string>{"Needs you", "link Ana, 5m", "link Bo", "1 more",
                                                   "link vantorix://open/icon"}));
  EXPECT_EQ(items[1].url, "vantorix://open/a");
  EXPECT_EQ(items[1].y, 40);
  EXPECT_EQ(items[0].height, 14);
}

TEST(AccessibleContent, ATextBelongsToTheTopmostLinkOverIt) {
  // The whole widget is a link under the row's own: the header reads as the widget's link, the
  // row's text as the row's.
  const Json record = {{"texts", {text("Projects", 16), text("Alpha", 50)}},
                       {"links",
                        {link("Projects, Alpha", "x://widget", {0, 0, 364, 170}),
                         link("Alpha", "x://alpha", {16, 40, 332, 30})}}};
  EXPECT_EQ(said(accessibleContent(record)),
            (std::vector<std::string>{"link Projects, Alpha", "link Alpha"}));
}

TEST(AccessibleContent, PassesOverMalformedMembersAndKeepsAScreenful) {
  const Json record = {{"texts",
                        {{{"text", "no rect"}},
                         {{"text", 7}, {"rect", {0, 0, 1, 1}}},
                         {{"text", "short"}, {"rect", {0, 0, 1}}},
                         {{"text", "negative"}, {"rect", {0, 0, -1, 1}}},
                         "plain",
                         text("", 0),
                         text("kept", 0)}},
                       {"links", {link("no url", "", {0, 0, 1, 1}), {{"url", "x://"}}}}};
  EXPECT_EQ(said(accessibleContent(record)), std::vector<std::string>{"kept"});
  EXPECT_TRUE(accessibleContent(Json::array()).empty());
  EXPECT_TRUE(accessibleContent({{"texts", "x"}, {"links", 3}}).empty());

  Json many = {{"texts", Json::array()}};
  for (int i = 0; i < 5000; ++i) many["texts"].push_back(text("t", i));
  EXPECT_EQ(accessibleContent(many).size(), 200u);
}

}  // namespace
}  // namespace vx::desktop
