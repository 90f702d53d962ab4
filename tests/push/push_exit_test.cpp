#include <chrono>

#include "push/push_values.hpp"
#include "push_fixture.hpp"
#include "support/process.hpp"

namespace vx::push {
namespace {

using SharedStore::PushRegistration;

class PushExitTest : public testing::PushTest {
 protected:
  // Runs the helper program to its end; its exit status, or minus the signal that ended it.
  static int runToEnd(const std::string& bundle, const std::string& token) {
    return testing::run(HAND_OVER_THEN_EXIT, {.arguments = {bundle, token}}).status;
  }
};

TEST_F(PushExitTest, ProcessEndingRightAfterAHandOverFinishesTheReportFirst) {
  // The answer comes only after the helper's main has long returned.
  fake_.on("POST", "/v1/widgets/push-token",
           testing::Answer(201).after(std::chrono::milliseconds(300)));

  EXPECT_EQ(runToEnd(host::Bundle::main()->location().string(), "0aff"), 0);

  EXPECT_EQ(fake_.requestCount(), 1u);
  EXPECT_EQ(SharedStore::pushRegistration(),
            (PushRegistration{"0aff", fingerprint(kSessionToken)}));
}

}  // namespace
}  // namespace vx::push
