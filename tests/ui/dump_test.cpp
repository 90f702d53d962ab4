#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ui/ui.hpp"

namespace vx::ui {
namespace {

Element sample() {
  return row({text("A long project name that will not fit").lineLimit(1).tag("name"), spacer(8),
              text("12 now").fixedSize(), circle().fill(Color::rgb24(0x10b981)).frame(6, 6)})
      .spacing(6)
      .padding(Edge::leading, 10)
      .link("vantorix://open/app/projects/a");
}

TEST(Dump, TextShowsEveryBoxWithItsFrameAndTextsAsLaidOut) {
  const std::string dump = dumpText(layout(sample(), {160, 40}));
  EXPECT_NE(dump.find("row "), std::string::npos);
  EXPECT_NE(dump.find("padding 0,"), std::string::npos);
  EXPECT_NE(dump.find("link=vantorix://open/app/projects/a"), std::string::npos);
  EXPECT_NE(dump.find("tag=name"), std::string::npos);
  EXPECT_NE(dump.find("\"12 now\""), std::string::npos);
  EXPECT_NE(dump.find("shapes=[ellipse fill #10b981]"), std::string::npos);
  // The cut text (the line after its tag) is shown as drawn, ending in "…", marked truncated.
  const auto tagged = dump.find("tag=name\n");
  ASSERT_NE(tagged, std::string::npos);
  const auto at = dump.find('\n', tagged) + 1;
  const std::string line = dump.substr(at, dump.find('\n', at) - at);
  EXPECT_NE(line.find("text "), std::string::npos) << line;
  EXPECT_NE(line.find(" \"A"), std::string::npos) << line;
  EXPECT_NE(line.find("\u2026\""), std::string::npos) << line;
  EXPECT_NE(line.find(" truncated"), std::string::npos) << line;
  // Children are indented one level deeper than their parent.
  EXPECT_EQ(dump.find("link "), 0u);
  EXPECT_NE(dump.find("\n  padding"), std::string::npos);
}

TEST(Dump, JsonHoldsTheSameTree) {
  const Layout l = layout(sample(), {160, 40});
  const auto json = nlohmann::json::parse(dumpJson(l));
  EXPECT_EQ(json["kind"], "link");
  EXPECT_EQ(json["link"], "vantorix://open/app/projects/a");
  const auto& row = json["children"][0]["children"][0];
  EXPECT_EQ(row["kind"], "row");
  const auto& name = row["children"][0];
  EXPECT_EQ(name["tag"], "name");
  const auto& text = name["children"][0];
  EXPECT_EQ(text["kind"], "text");
  EXPECT_EQ(text["truncated"], true);
  EXPECT_EQ(text["lines"].size(), 1u);
  const Rect frame = *l.frameOf("name");
  EXPECT_DOUBLE_EQ(text["frame"][0].get<double>(), frame.x);
  EXPECT_DOUBLE_EQ(text["frame"][2].get<double>(), frame.width);
}

TEST(Dump, DrawingsListTheirShapes) {
  auto tree = canvas([](Size s) {
    return std::vector<ShapeItem>{
        ShapeItem::fill(Shape::rect({0, s.height - 1, s.width, 1}), Color::rgb24(0xe2e8f0)),
        ShapeItem::fill(Shape::roundedRect({0, 0, 4, 10}, {2, 2, 0, 0}), Color::rgb24(0x06b6d4))
            .accented()};
  });
  const auto json = nlohmann::json::parse(dumpJson(layout(tree, {100, 40})));
  ASSERT_EQ(json["shapes"].size(), 2u);
  EXPECT_EQ(json["shapes"][0]["shape"], "rect");
  EXPECT_EQ(json["shapes"][1]["shape"], "roundedRect");
  EXPECT_EQ(json["shapes"][1]["accentable"], true);
}

}  // namespace
}  // namespace vx::ui
