#include <future>
#include <thread>
#include <vector>

#include "push/push_reporter.hpp"
#include "push/push_values.hpp"
#include "push/widget_pushes.hpp"
#include "push_fixture.hpp"

namespace vx::push {
namespace {

using SharedStore::PushRegistration;
using testing::Answer;
using testing::RecordedRequest;

constexpr const char* kReportPath = "/v1/widgets/push-token";

class PushConcurrencyTest : public testing::PushTest {};

TEST_F(PushConcurrencyTest, ConcurrentReportsOfOneTokenSendOnce) {
  fake_.on("POST", kReportPath, Answer{201});
  record("0aff", std::nullopt);

  std::vector<std::thread> callers;
  for (int i = 0; i < 8; ++i) {
    callers.emplace_back([] { PushReporter::shared().reportIfNeeded(); });
  }
  for (auto& caller : callers) caller.join();

  EXPECT_EQ(fake_.requestCount(), 1u);
  EXPECT_EQ(SharedStore::pushRegistration(),
            (PushRegistration{"0aff", fingerprint(kSessionToken)}));
}

TEST_F(PushConcurrencyTest, RemovalWhileAReportIsInFlightIsNotUndone) {
  // The report is held at the service until the removal has been asked for.
  std::promise<void> reportArrived;
  std::promise<void> releaseReport;
  auto release = releaseReport.get_future().share();
  fake_.on("POST", kReportPath, [&](const RecordedRequest&) {
    reportArrived.set_value();
    release.wait();
    return Answer{201};
  });
  fake_.on("DELETE", std::string(kReportPath) + "/0aff", Answer{204});
  record("0aff", std::nullopt);

  std::thread refresh([] { PushReporter::shared().reportIfNeeded(); });
  reportArrived.get_future().wait();
  std::thread removal([] { PushReporter::shared().tokenChanged("0aff", 0); });
  // Give the removal the chance to run ahead, which it must not take.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  releaseReport.set_value();
  refresh.join();
  removal.join();

  EXPECT_FALSE(pushFileExists());
  auto sent = fake_.requests();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].method, "POST");
  EXPECT_EQ(sent[1].method, "DELETE");
}

TEST_F(PushConcurrencyTest, HostChangesAreHandledInTheOrderTheyArrive) {
  fake_.on("POST", kReportPath, Answer{201});
  fake_.on("DELETE", std::string(kReportPath) + "/0bee", Answer{204});
  const std::vector<std::uint8_t> first{0x0A, 0xFF};
  const std::vector<std::uint8_t> second{0x0B, 0xEE};

  WidgetPushes::pushTokenDidChange(first, 1);
  auto secondDone = WidgetPushes::pushTokenDidChange(second, 2);
  WidgetPushes::pushTokenDidChange(second, 0);
  secondDone.wait();
  WidgetPushes::waitForPending();

  auto sent = fake_.requests();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(nlohmann::json::parse(sent[0].body).at("token"), "0aff");
  EXPECT_EQ(nlohmann::json::parse(sent[1].body).at("token"), "0bee");
  EXPECT_EQ(sent[2].method, "DELETE");
  EXPECT_FALSE(pushFileExists());
}

TEST_F(PushConcurrencyTest, HostHandOverReturnsAtOnceAndReportsInTheBackground) {
  std::promise<void> releaseReport;
  auto release = releaseReport.get_future().share();
  fake_.on("POST", kReportPath, [&](const RecordedRequest&) {
    release.wait();
    return Answer{201};
  });
  const std::vector<std::uint8_t> token{0x0A, 0xFF};

  // Returning while the service still holds the report shows the caller was not kept waiting.
  auto done = WidgetPushes::pushTokenDidChange(token, 1);
  ASSERT_TRUE(fake_.waitForRequests(1));
  releaseReport.set_value();
  done.wait();

  EXPECT_EQ(SharedStore::pushRegistration(),
            (PushRegistration{"0aff", fingerprint(kSessionToken)}));
}

}  // namespace
}  // namespace vx::push
