// The host's core with a stand-in extension that draws: what its image folder holds through
// reloads and restarts, and the placements it cannot show.

#include "desktop/host_core.hpp"

#include <set>

#include <gtest/gtest.h>

#include "model/clock.hpp"
#include "support/local_client.hpp"
#include "support/scratch.hpp"

namespace vx::desktop {
namespace {

using Json = nlohmann::json;

Json placement(const std::string& id, const std::string& kind, const Json& configuration) {
  return {{"id", id},
          {"kind", kind},
          {"family", "systemSmall"},
          {"configuration", configuration},
          {"position", {{"x", 0}, {"y", 0}}}};
}

class HostCoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock::pin(Time(std::chrono::milliseconds(1'900'000'000'000)));
    options_.extension = VX_FAKE_RENDERER;
    options_.folder = folder_.path() / "config";
    options_.output = folder_.path() / "out";
    options_.app = "com.vantorix.desktop";
    options_.socket.path = (folder_.path() / "host.sock").string();
    options_.kinds = kindsFromJson(Json::parse(
        R"([{"kind":"W","families":["systemSmall"],"configuration":{"parameters":[]}}])"));
  }
  void TearDown() override { clock::unpin(); }

  // Steps the host until the folder holds exactly index.json and the images of both widgets
  // it can show, and still does a while later.
  bool settle(Host& host) {
    int steady = 0;
    for (int i = 0; i < 2000 && steady < 10; ++i) {
      host.step(std::chrono::milliseconds(10));
      std::set<std::string> indexed{"index.json"};
      const Json index =
          Json::parse(testing::readFile(options_.output / "index.json"), nullptr, false);
      for (const Json& widget : index.value("widgets", Json::array()))
        indexed.insert(widget.value("image", ""));
      const auto names = testing::namesIn(options_.output);
      steady =
          indexed.size() == 3 && indexed == std::set(names.begin(), names.end()) ? steady + 1 : 0;
    }
    return steady == 10;
  }

  testing::ScratchFolder folder_;
  HostOptions options_;
};

TEST_F(HostCoreTest, QuickReloadsAndRestartsLeaveExactlyTheIndexedImages) {
  const Json widgets = {placement("1", "W", Json::object()), placement("2", "W", Json::object()),
                        placement("sub/dir", "W", Json::object()),
                        placement("4", "Gone", Json::object()), placement("5", "W", {{"x", 7}})};
  const std::string file = Json{{"widgets", widgets}}.dump();
  testing::writeFile(placementsFile(options_.folder), file);
  ::testing::internal::CaptureStderr();
  {
    Host host(options_);
    host.start();
    ASSERT_TRUE(settle(host));
    for (int i = 0; i < 40; ++i) {
      testing::LocalClient(*options_.socket.path)
          .write("{\"type\":\"reloadAllTimelines\",\"app\":\"com.vantorix.desktop\"}\n");
      for (int j = 0; j < 3; ++j) host.step(std::chrono::milliseconds(0));
    }
    ASSERT_TRUE(settle(host));
    // Read again when it changes: the same problems are not reported twice.
    testing::writeFile(placementsFile(options_.folder), file + "\n");
    ASSERT_TRUE(settle(host));
  }
  const std::string reported = ::testing::internal::GetCapturedStderr();
  for (const char* problem : {"widget id \"sub/dir\" is not", "widget 4: unknown widget kind",
                              "widget 5: W takes no \"x\""}) {
    const auto first = reported.find(problem);
    EXPECT_NE(first, std::string::npos) << problem << " in " << reported;
    EXPECT_EQ(reported.find(problem, first + 1), std::string::npos) << reported;
  }
  // What a host that was killed would leave: images no index names, a temporary of one.
  for (const char* stale : {"widget-1-5.png", "widget-9-5.png", ".widget-1-5.png.Ab12Cd"}) {
    testing::writeFile(options_.output / stale, "png");
  }
  Host host(options_);
  host.start();
  EXPECT_EQ(testing::namesIn(options_.output), std::vector<std::string>{"index.json"});
  EXPECT_TRUE(settle(host));
}

TEST_F(HostCoreTest, AMovedWidgetKeepsItsTimelineAndItsDrawing) {
  Json widgets = {placement("1", "W", Json::object()), placement("2", "W", Json::object())};
  testing::writeFile(placementsFile(options_.folder), Json{{"widgets", widgets}}.dump());
  Host host(options_);
  std::vector<Placement> moved;
  host.onMoved([&moved](const Placement& placement) { moved.push_back(placement); });
  host.start();
  ASSERT_TRUE(settle(host));
  const auto index = [&] {
    return Json::parse(testing::readFile(options_.output / "index.json")).at("widgets");
  };
  const Json before = index();
  widgets[0]["position"] = {{"x", 40}, {"y", 60}};
  testing::writeFile(placementsFile(options_.folder), Json{{"widgets", widgets}}.dump());
  ASSERT_TRUE(settle(host));
  ASSERT_EQ(moved.size(), 1U);
  EXPECT_EQ(moved[0].position, (Position{40, 60}));
  Json expected = before;
  expected[0]["position"] = {{"x", 40}, {"y", 60}};
  EXPECT_EQ(index(), expected) << "the moved widget asked for a new timeline or drawing";
}

}  // namespace
}  // namespace vx::desktop
