// What a widget window tells a screen reader, from the texts and links of its drawing.
#include "desktop/accessible_content.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace vx::desktop {
namespace {

using Json = nlohmann::json;

Json text(const std::string& said, double y) {
  return {{"text", said}, {"rect", {16, y, 100, 14}}};
}

Json link(const std::string& name, const std::string& url, Json rect) {
  return {{"name", name}, {"url", url}, {"rect", std::move(rect)}};
}

std::vector<std::string> said(const Json& record) {
  std::vector<std::string> out;
  for (const auto& item : accessibleContent(record)) {
    out.push_back((item.role == AccessibleItem::Role::link ? "link " + item.url + " " : "") +
                  item.name);
  }
  return out;
}

TEST(AccessibleContent, TextsInTapTargetsAreReadOnceAsTheTopmostLinkOverThem) {
  // The widget's own link lies under the row's: the header reads as the widget's link, the
  // row's two texts as the row's. A link without a text or name comes last, by its URL.
  const Json record = {
      {"texts", {text("Needs you", 16), text("Ana", 44), text("5m", 60), text("1 more", 150)}},
      {"links",
       {link("Needs you, Ana, 5m", "x://w", {0, 0, 364, 100}),
        link("Ana, 5m", "x://a", {16, 40, 332, 44}), link("", "x://icon", {300, 200, 20, 20})}}};
  EXPECT_EQ(said(record),
            (std::vector<std::string>{"link x://w Needs you, Ana, 5m", "link x://a Ana, 5m",
                                      "1 more", "link x://icon x://icon"}));
  EXPECT_EQ(accessibleContent(record)[1].y, 40);
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
  EXPECT_EQ(said(record), std::vector<std::string>{"kept"});
  EXPECT_TRUE(accessibleContent({{"texts", "x"}, {"links", 3}}).empty());
  Json many = {{"texts", Json::array()}};
  for (int i = 0; i < 5000; ++i) many["texts"].push_back(text("t", i));
  EXPECT_EQ(accessibleContent(many).size(), 200u);
}

}  // namespace
}  // namespace vx::desktop
