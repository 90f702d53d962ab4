#include "panelnudge/notification_status.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

namespace vx::panelnudge {
namespace {

using namespace std::chrono_literals;

// A wait that would hang the test if the status did not stop waiting on the completion's signal.
constexpr auto kForever = std::chrono::hours(1);

TEST(StatusText, MapsEachRawStatus) {
  EXPECT_EQ(statusText(0), "undecided");
  EXPECT_EQ(statusText(1), "denied");
  EXPECT_EQ(statusText(2), "allowed");
  EXPECT_EQ(statusText(3), "allowed");
  EXPECT_EQ(statusText(4), "allowed");
  EXPECT_EQ(statusText(5), "unknown");
  EXPECT_EQ(statusText(-1), "unknown");
  EXPECT_EQ(statusText(std::numeric_limits<std::int64_t>::min()), "unknown");
}

// Completions the test starts on threads of its own, joined when the test ends.
class Completions {
 public:
  ~Completions() {
    for (auto& thread : threads_) thread.join();
  }
  void runLater(host::SettingsCompletion completion, std::optional<std::int64_t> raw,
                std::chrono::milliseconds delay = 0ms) {
    threads_.emplace_back([completion = std::move(completion), raw, delay] {
      std::this_thread::sleep_for(delay);
      completion(raw);
    });
  }

 private:
  std::vector<std::thread> threads_;
};

TEST(NotificationStatus, ReturnsTheStatusAnsweredOnAnotherThread) {
  Completions completions;
  const auto status = notificationStatus(
      [&](host::SettingsCompletion done) { completions.runLater(std::move(done), 3); }, kForever);
  EXPECT_EQ(status, "allowed");
}

TEST(NotificationStatus, ReturnsTheStatusAnsweredBeforeTheWaitBegins) {
  const auto status = notificationStatus([](host::SettingsCompletion done) { done(0); }, kForever);
  EXPECT_EQ(status, "undecided");
}

TEST(NotificationStatus, NoAnswerEndsTheWaitAtOnceWithUnknown) {
  const auto status =
      notificationStatus([](host::SettingsCompletion done) { done(std::nullopt); }, kForever);
  EXPECT_EQ(status, "unknown");
}

TEST(NotificationStatus, AnUnlistedRawStatusIsUnknown) {
  const auto status = notificationStatus([](host::SettingsCompletion done) { done(9); }, kForever);
  EXPECT_EQ(status, "unknown");
}

TEST(NotificationStatus, ACompletionThatNeverRunsGivesUnknownWhenTheWaitEnds) {
  host::SettingsCompletion kept;
  const auto status =
      notificationStatus([&](host::SettingsCompletion done) { kept = std::move(done); }, 20ms);
  EXPECT_EQ(status, "unknown");
}

TEST(NotificationStatus, ALateCompletionChangesNeitherTheReturnedTextNorTheNextCall) {
  Completions completions;
  host::SettingsCompletion late;
  const auto first =
      notificationStatus([&](host::SettingsCompletion done) { late = std::move(done); }, 10ms);
  // The caller has moved on; the completion now writes into an answer only it still holds.
  completions.runLater(std::move(late), 2);
  const auto second = notificationStatus(
      [&](host::SettingsCompletion done) { completions.runLater(std::move(done), 1); }, kForever);
  EXPECT_EQ(first, "unknown");
  EXPECT_EQ(second, "denied");
}

// Completions landing just before, during and after the end of the wait: whichever way each
// race goes, the result is one of the two possible texts (and ThreadSanitizer sees no race).
TEST(NotificationStatus, CompletionsRacingTheEndOfTheWaitGiveEitherText) {
  Completions completions;
  for (int round = 0; round < 200; ++round) {
    const auto delay = std::chrono::milliseconds(round % 3);
    const auto status = notificationStatus(
        [&](host::SettingsCompletion done) { completions.runLater(std::move(done), 4, delay); },
        1ms);
    EXPECT_TRUE(status == "allowed" || status == "unknown") << status;
  }
}

}  // namespace
}  // namespace vx::panelnudge
