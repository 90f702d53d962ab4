#include "desktop/notification_permissions.hpp"

#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "desktop/notification_questions.hpp"
#include "support/scratch.hpp"

namespace vx::desktop {
namespace {

constexpr const char* kOwn = "com.vantorix.desktop";
constexpr std::size_t kOthers = NotificationPermissions::kOtherApplications;

std::string madeUp(std::size_t n) {
  return "made.up." + std::to_string(n);
}

class NotificationsTest : public ::testing::Test {
 protected:
  testing::ScratchFolder folder_;
  std::filesystem::path file_ = notificationsFile(folder_.path() / "host");
  NotificationPermissions permissions_{file_, kOwn};
};

TEST_F(NotificationsTest, AnswersComeFromMemoryAndFollowAnotherWritersChanges) {
  permissions_.store("a.b", Authorization::denied);
  std::filesystem::remove(file_);
  EXPECT_EQ(permissions_.status("a.b"), Authorization::denied);  // not read per question

  // The `notifications` sub-command, another process, answers meanwhile.
  NotificationPermissions command(file_, kOwn);
  command.store(kOwn, Authorization::authorized);
  permissions_.follow();
  EXPECT_EQ(permissions_.status(kOwn), Authorization::authorized);
  EXPECT_EQ(permissions_.status("a.b"), Authorization::notDetermined);
}

TEST_F(NotificationsTest, AFloodOfMadeUpNamesKeepsTheFileSmallAndTheOwnApplicationIn) {
  for (std::size_t n = 0; n < 2000; ++n) {
    if (permissions_.keeps(madeUp(n))) permissions_.store(madeUp(n), Authorization::denied);
  }
  EXPECT_EQ(permissions_.status(madeUp(kOthers)), Authorization::notDetermined);
  EXPECT_THROW(permissions_.store(madeUp(kOthers), Authorization::denied), std::runtime_error);
  EXPECT_LT(std::filesystem::file_size(file_), 1000u);

  permissions_.store(kOwn, Authorization::authorized);
  permissions_.store(madeUp(0), Authorization::authorized);     // a kept one may change
  permissions_.store(madeUp(1), Authorization::notDetermined);  // "ask" forgets, making room
  EXPECT_TRUE(permissions_.keeps("a.new.one"));
}

TEST_F(NotificationsTest, OneQuestionOnScreenAtATimeNeverTwoForOneApplication) {
  std::vector<std::string> shown;
  NotificationQuestions questions(permissions_,
                                  [&](const std::string& app) { shown.push_back(app); });
  for (std::size_t n = 0; n < 2000; ++n) {
    questions.ask(madeUp(n % 40));
    questions.ask(madeUp(0));
  }
  questions.ask(kOwn);  // never crowded out
  EXPECT_EQ(shown, std::vector<std::string>{madeUp(0)});
  EXPECT_EQ(questions.waiting(), kOthers + 1);

  // Answered elsewhere while waiting in line: passed over.
  NotificationPermissions(file_, kOwn).store(madeUp(1), Authorization::denied);
  questions.answered(madeUp(0), Authorization::denied);
  EXPECT_EQ(permissions_.status(madeUp(0)), Authorization::denied);
  EXPECT_EQ(shown.back(), madeUp(2));
  while (questions.showing()) questions.answered(*questions.showing(), std::nullopt);
  EXPECT_EQ(shown.back(), kOwn);
  EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()).size(), shown.size());
}

}  // namespace
}  // namespace vx::desktop
