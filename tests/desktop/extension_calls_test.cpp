#include "desktop/extension_calls.hpp"

#include <chrono>
#include <optional>

#include <gtest/gtest.h>
#include <signal.h>

#include "support/scratch.hpp"

namespace vx::desktop {
namespace {

using namespace std::chrono_literals;

// Runs the default main context until `done` holds or `limit` has passed.
template <typename Done>
bool spinUntil(Done done, std::chrono::milliseconds limit = 10s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done() && std::chrono::steady_clock::now() < end)
    g_main_context_iteration(nullptr, FALSE);
  return done();
}

TEST(ExtensionCalls, HandBackOutputOnlyForACleanEnd) {
  ExtensionCalls calls("/bin/sh");
  std::optional<ExtensionCalls::Result> printed, failed;
  calls.call({"-c", "printf '{\"a\":1}'"}, 5s, [&](const auto& result) { printed = result; });
  calls.call({"-c", "printf partial; exit 3"}, 5s, [&](const auto& result) { failed = result; });
  ASSERT_TRUE(spinUntil([&] { return printed && failed; }));
  EXPECT_TRUE(printed->succeeded);
  EXPECT_EQ(printed->output, "{\"a\":1}");
  EXPECT_FALSE(failed->succeeded);

  ExtensionCalls missing("/nonexistent/vantorix-widgets");
  std::optional<ExtensionCalls::Result> none;
  missing.call({"kinds"}, 5s, [&](const auto& result) { none = result; });
  ASSERT_TRUE(spinUntil([&] { return none.has_value(); }));
  EXPECT_FALSE(none->succeeded);
}

TEST(ExtensionCalls, AStuckChildIsKilledAfterItsPatienceAndWithItsOwner) {
  testing::ScratchFolder scratch;
  const auto pid = (scratch.path() / "pid").string();
  const auto start = std::chrono::steady_clock::now();
  std::optional<ExtensionCalls::Result> stuck;
  bool called = false;
  {
    ExtensionCalls calls("/bin/sh");
    calls.call({"-c", "sleep 60"}, 1s, [&](const auto& result) { stuck = result; });
    ASSERT_TRUE(spinUntil([&] { return stuck.has_value(); }));
    EXPECT_FALSE(stuck->succeeded);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);

    calls.call({"-c", "echo $$ > " + pid + "; exec sleep 60"}, 60s,
               [&](const auto&) { called = true; });
    ASSERT_TRUE(spinUntil([&] { return !testing::readFile(pid).empty(); }));
  }
  // Gone with its owner; its end comes, and no one is told.
  const pid_t child = std::stoi(testing::readFile(pid));
  EXPECT_TRUE(spinUntil([&] { return ::kill(child, 0) != 0; }));
  EXPECT_FALSE(called);
}

}  // namespace
}  // namespace vx::desktop
