#include "desktop/extension_link.hpp"

#include <fstream>

#include <poll.h>

#include <gtest/gtest.h>

#include "support/scratch.hpp"

namespace vx::desktop {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

const Instant kStart = Instant(std::chrono::milliseconds(1'800'000'000'000));

class ExtensionLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { mode("answer"); }
  void mode(const char* text) { std::ofstream(folder_.path() / "mode") << text; }

  ExtensionLink link() { return ExtensionLink("/bin/bash", {VX_FAKE_EXTENSION}); }

  // Services the link at the pinned time `now` until `done` holds; the wall-clock guard only
  // stops a hung test.
  template <class Done>
  std::vector<ExtensionLink::Completed> serviceUntil(ExtensionLink& link, Instant now, Done done) {
    std::vector<ExtensionLink::Completed> all;
    const auto guard = std::chrono::steady_clock::now() + seconds(30);
    while (!done(all) && std::chrono::steady_clock::now() < guard) {
      pollfd fd{link.outputFd(), POLLIN, 0};
      (void)::poll(&fd, fd.fd >= 0 ? 1 : 0, 50);
      for (auto& completed : link.service(now)) all.push_back(std::move(completed));
    }
    return all;
  }

  testing::ScratchFolder folder_;
  testing::ScopedEnvironment fakeDir_{"FAKE_DIR", folder_.path().string()};
};

TEST(RestartDelay, DoublesFromOneSecondUpToAMinute) {
  EXPECT_EQ(restartDelay(1), seconds(1));
  EXPECT_EQ(restartDelay(2), seconds(2));
  EXPECT_EQ(restartDelay(4), seconds(8));
  EXPECT_EQ(restartDelay(7), seconds(60));
  EXPECT_EQ(restartDelay(1000), seconds(60));
}

TEST_F(ExtensionLinkTest, ACrashedExtensionIsRestartedWithBackOffAndGetsTheRequestAgain) {
  mode("crash");
  ExtensionLink extension = link();
  extension.start(kStart);
  extension.request({{"op", "timeline"}}, "w1");
  (void)serviceUntil(extension, kStart, [&](auto&) { return !extension.pid(); });
  ASSERT_EQ(extension.nextWake(), kStart + seconds(1));
  (void)extension.service(kStart + milliseconds(999));
  EXPECT_EQ(extension.started(), 1);  // not before its time

  const Instant second = kStart + seconds(1);
  (void)extension.service(second);
  EXPECT_EQ(extension.started(), 2);
  (void)serviceUntil(extension, second, [&](auto&) { return !extension.pid(); });
  EXPECT_EQ(extension.nextWake(), second + seconds(2));  // the gap doubles

  mode("answer");
  const Instant third = second + seconds(2);
  const auto answers = serviceUntil(extension, third, [](auto& all) { return !all.empty(); });
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].tag, "w1");
  EXPECT_EQ(answers[0].answer.at("result"), 3);
  EXPECT_EQ(extension.outstanding(), 0u);
}

TEST_F(ExtensionLinkTest, AnExtensionThatEndsItselfIsReplacedAtOnce) {
  mode("replace");
  ExtensionLink extension = link();
  extension.start(kStart);
  extension.request({{"op", "timeline"}}, "first");
  const auto answers = serviceUntil(
      extension, kStart, [&](auto& all) { return !all.empty() && extension.started() == 2; });
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].answer.at("result"), 1);
  extension.request({{"op", "timeline"}}, "second");
  const auto next = serviceUntil(extension, kStart, [](auto& all) { return !all.empty(); });
  ASSERT_EQ(next.size(), 1u);
  EXPECT_EQ(next[0].tag, "second");
  EXPECT_EQ(next[0].answer.at("result"), 2);
}

TEST_F(ExtensionLinkTest, AnExtensionThatAnswersNothingIsStoppedAndReplaced) {
  mode("hang");
  ExtensionLink extension = link();
  extension.start(kStart);
  extension.request({{"op", "timeline"}}, "w1");
  (void)extension.service(kStart);
  EXPECT_EQ(extension.nextWake(), kStart + kAnswerPatience);
  (void)extension.service(kStart + kAnswerPatience - seconds(1));
  EXPECT_TRUE(extension.pid());  // still given its time

  const Instant stuck = kStart + kAnswerPatience;
  (void)extension.service(stuck);
  EXPECT_FALSE(extension.pid());
  EXPECT_EQ(extension.nextWake(), stuck + seconds(1));
  mode("answer");
  const auto answers =
      serviceUntil(extension, stuck + seconds(1), [](auto& all) { return !all.empty(); });
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].tag, "w1");
  EXPECT_EQ(extension.started(), 2);
}

TEST_F(ExtensionLinkTest, ARunThatGetsNoAnswerEndsWithAMessageInsteadOfWaitingForever) {
  mode("answer");
  EXPECT_EQ(runExtension("/bin/bash", {VX_FAKE_EXTENSION}, seconds(10), "{\"id\":1}").output,
            "{\"id\":1,\"result\":1}\n");
  mode("stuck");
  try {
    (void)runExtension("/bin/bash", {VX_FAKE_EXTENSION}, milliseconds(300), "{\"id\":1}");
    ADD_FAILURE() << "no time-out";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("did not answer within 300 ms"), std::string::npos);
  }
}

TEST_F(ExtensionLinkTest, AnExtensionThatCannotStartIsTriedAgainLater) {
  ExtensionLink extension("/nonexistent/vantorix-widgets", {"serve"});
  extension.start(kStart);
  EXPECT_EQ(extension.started(), 0);
  EXPECT_EQ(extension.nextWake(), kStart + seconds(1));
}

}  // namespace
}  // namespace vx::desktop
