#include <spawn.h>
#include <sys/wait.h>

#include <chrono>

#include "push/push_values.hpp"
#include "push_fixture.hpp"

extern char** environ;

namespace vx::push {
namespace {

using SharedStore::PushRegistration;

class PushExitTest : public testing::PushTest {
 protected:
  // Runs the helper program to its end; its exit status, or -1 when it did not exit normally.
  static int runToEnd(const std::string& bundle, const std::string& token) {
    std::string program = HAND_OVER_THEN_EXIT;
    std::vector<char*> argv{program.data(), const_cast<char*>(bundle.c_str()),
                            const_cast<char*>(token.c_str()), nullptr};
    pid_t pid = 0;
    if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
      return -1;
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  }
};

TEST_F(PushExitTest, ProcessEndingRightAfterAHandOverFinishesTheReportFirst) {
  // The answer comes only after the helper's main has long returned.
  fake_.on("POST", "/v1/widgets/push-token",
           test::Answer(201).after(std::chrono::milliseconds(300)));

  EXPECT_EQ(runToEnd(host::Bundle::main()->location().string(), "0aff"), 0);

  EXPECT_EQ(fake_.requestCount(), 1u);
  EXPECT_EQ(SharedStore::pushRegistration(),
            (PushRegistration{"0aff", fingerprint(kSessionToken)}));
}

}  // namespace
}  // namespace vx::push
