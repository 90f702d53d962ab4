// What a screen reader is told of a layout: its texts in reading order, and each link's name.
#include "ui/reading_order.hpp"

#include <gtest/gtest.h>

#include "ui/ui.hpp"

namespace vx::ui {
namespace {

TEST(ReadingOrder, FollowsTheTreeReadsWholeTextsAndLabelsAndSkipsWhatIsNotSeen) {
  // A row left to right, a column top to bottom, a layer after what lies below it; a truncated
  // text whole; a label in place of its texts; no decoration, empty or transparent text.
  const std::string longText = "a sentence far too long to fit in the width it gets";
  auto tree =
      column({row({text("left"), spacer(), text("right")}), overlay({text("under"), text("over")}),
              text(longText).lineLimit(1).frame(60, 20), row({text("A"), text("B")}).label("icon"),
              text("X").label(""), text("gone").opacity(0), text("").frame(10, 10),
              text("end").tag("end")})
          .frame(200, 300);
  const Layout l = layout(tree, {200, 300});
  std::vector<std::string> said;
  for (const auto& t : readingOrder(l)) said.push_back(t.text);
  EXPECT_EQ(said,
            (std::vector<std::string>{"left", "right", "under", "over", longText, "icon", "end"}));
  EXPECT_EQ(readingOrder(l).back().rect, *l.frameOf("end"));
}

TEST(ReadingOrder, LinksAreNamedByTheirOwnTexts) {
  auto rowOf = [](const std::string& name) {
    return row({text("X").label(""), text(name), text("5m")}).link("x://" + name);
  };
  // An enclosing link names itself by the texts outside its nested links; a link with only
  // nested links inside is named by all of them; a label names a link outright.
  auto tree = column({column({text("Goals"), rowOf("alpha")}).link("x://goals"),
                      column({rowOf("beta")}).link("x://all"),
                      rectangle().frame(20, 20).label("Open the inbox").link("x://inbox")})
                  .frame(300, 300);
  std::vector<std::string> names;
  for (const auto& link : linkMap(layout(tree, {300, 300}))) names.push_back(link.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Goals", "alpha, 5m", "beta, 5m", "beta, 5m",
                                             "Open the inbox"}));
}

}  // namespace
}  // namespace vx::ui
