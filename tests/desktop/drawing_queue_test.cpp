#include "desktop/drawing_queue.hpp"

#include <gtest/gtest.h>

namespace vx::desktop {

TEST(DrawingQueue, ADrawingAskedBeforeAWidgetChangedIsNotShownAndHoldsBackTheNext) {
  std::vector<std::string> sent;
  DrawingQueue queue([&](nlohmann::json request, const std::string&) {
    sent.push_back(request.at("out"));
    return sent.size();
  });
  queue.ask("1", {{"out", "a"}});
  queue.forget("1");
  queue.ask("1", {{"out", "b"}});
  EXPECT_EQ(queue.underWay(), std::set<std::string>{"a"});
  EXPECT_FALSE(queue.answered("1", 1));
  EXPECT_EQ(sent.back(), "b");
  EXPECT_TRUE(queue.answered("1", 2));
}

}  // namespace vx::desktop
