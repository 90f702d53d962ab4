#include "push/push_reporter.hpp"

#include <future>

#include "push/push_values.hpp"
#include "push_fixture.hpp"

namespace vx::push {
namespace {

using SharedStore::PushRegistration;
using testing::Answer;
using testing::RecordedRequest;

constexpr const char* kReportPath = "/v1/widgets/push-token";
constexpr const char* kToken = "0aff";

class PushReporterTest : public testing::PushTest {
 protected:
  void answerReports(int status) { fake_.on("POST", kReportPath, Answer{status}); }
  std::vector<RecordedRequest> reports() const { return fake_.requests("POST", kReportPath); }
  static std::string fingerprintOf(const char* sessionToken) { return fingerprint(sessionToken); }
};

TEST_F(PushReporterTest, NewTokenIsRecordedThenReportedThenMarkedReported) {
  // What the record held while the report was on its way.
  std::optional<PushRegistration> duringReport;
  fake_.on("POST", kReportPath, [&](const RecordedRequest&) {
    duringReport = SharedStore::pushRegistration();
    return Answer{201};
  });

  PushReporter::shared().tokenChanged(kToken, 2);

  EXPECT_EQ(duringReport, (PushRegistration{kToken, std::nullopt}));
  ASSERT_EQ(reports().size(), 1u);
  auto sent = reports().front();
  EXPECT_EQ(sent.header("Authorization"), std::string("Bearer ") + kSessionToken);
  EXPECT_EQ(sent.header("Content-Type"), "application/json");
  EXPECT_EQ(nlohmann::json::parse(sent.body), (nlohmann::json{{"token", kToken},
                                                              {"platform", "macos"},
                                                              {"environment", "production"},
                                                              {"app_id", config::kAppBundleId}}));
  EXPECT_EQ(SharedStore::pushRegistration(),
            (PushRegistration{kToken, fingerprintOf(kSessionToken)}));
  EXPECT_EQ(SharedStore::pushRegistration()->reportedWith->size(), 64u);
}

TEST_F(PushReporterTest, SameTokenAfterASuccessfulReportSendsNothing) {
  answerReports(201);
  PushReporter::shared().tokenChanged(kToken, 2);
  ASSERT_EQ(fake_.requestCount(), 1u);

  PushReporter::shared().tokenChanged(kToken, 3);
  PushReporter::shared().reportIfNeeded();
  EXPECT_EQ(fake_.requestCount(), 1u);
}

TEST_F(PushReporterTest, ChangedTokenIsReportedAndReplacesTheRecord) {
  answerReports(200);
  record("0000", fingerprintOf(kSessionToken));

  PushReporter::shared().tokenChanged(kToken, 1);

  ASSERT_EQ(reports().size(), 1u);
  EXPECT_EQ(nlohmann::json::parse(reports().front().body).at("token"), kToken);
  EXPECT_EQ(SharedStore::pushRegistration(),
            (PushRegistration{kToken, fingerprintOf(kSessionToken)}));
}

TEST_F(PushReporterTest, SignInWithAnotherTokenReportsTheStoredTokenAgain) {
  answerReports(201);
  record(kToken, fingerprintOf(kSessionToken));
  signIn(fake_.baseUrl(), "session-token-2");

  PushReporter::shared().reportIfNeeded();

  ASSERT_EQ(reports().size(), 1u);
  EXPECT_EQ(reports().front().header("Authorization"), "Bearer session-token-2");
  EXPECT_EQ(nlohmann::json::parse(reports().front().body).at("token"), kToken);
  EXPECT_EQ(SharedStore::pushRegistration(),
            (PushRegistration{kToken, fingerprintOf("session-token-2")}));
}

TEST_F(PushReporterTest, RefusedReportKeepsTheRecordAndIsRetriedNextTime) {
  answerReports(401);
  PushReporter::shared().tokenChanged(kToken, 1);
  EXPECT_EQ(SharedStore::pushRegistration(), (PushRegistration{kToken, std::nullopt}));

  answerReports(201);
  PushReporter::shared().reportIfNeeded();
  EXPECT_EQ(reports().size(), 2u);
  EXPECT_EQ(SharedStore::pushRegistration(),
            (PushRegistration{kToken, fingerprintOf(kSessionToken)}));
}

TEST_F(PushReporterTest, UnreachableServiceKeepsTheOldMarkAndIsRetriedNextTime) {
  record(kToken, fingerprintOf(kSessionToken));
  std::string deadBase;
  {
    testing::FakeService gone;
    deadBase = gone.baseUrl();
  }
  signIn(deadBase, "session-token-2");
  PushReporter::shared().reportIfNeeded();
  EXPECT_EQ(SharedStore::pushRegistration(),
            (PushRegistration{kToken, fingerprintOf(kSessionToken)}));

  answerReports(204);
  signIn(fake_.baseUrl(), "session-token-2");
  PushReporter::shared().reportIfNeeded();
  EXPECT_EQ(reports().size(), 1u);
  EXPECT_EQ(SharedStore::pushRegistration(),
            (PushRegistration{kToken, fingerprintOf("session-token-2")}));
}

TEST_F(PushReporterTest, OnlyTwoHundredsCountAsReported) {
  for (int status : {300, 404, 500}) {
    answerReports(status);
    record(kToken, std::nullopt);
    PushReporter::shared().reportIfNeeded();
    EXPECT_EQ(SharedStore::pushRegistration(), (PushRegistration{kToken, std::nullopt})) << status;
  }
  answerReports(299);
  PushReporter::shared().reportIfNeeded();
  EXPECT_EQ(SharedStore::pushRegistration()->reportedWith, fingerprintOf(kSessionToken));
}

TEST_F(PushReporterTest, LastWidgetRemovedDeletesTheRecordBeforeWithdrawing) {
  record(kToken, fingerprintOf(kSessionToken));
  std::optional<bool> fileExistedAtDelete;
  fake_.on("DELETE", std::string(kReportPath) + "/" + kToken, [&](const RecordedRequest&) {
    fileExistedAtDelete = pushFileExists();
    return Answer{204};
  });

  PushReporter::shared().tokenChanged(kToken, 0);

  EXPECT_EQ(fileExistedAtDelete, false);
  auto sent = fake_.requests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent.front().method, "DELETE");
  EXPECT_EQ(sent.front().header("Authorization"), std::string("Bearer ") + kSessionToken);
  EXPECT_FALSE(sent.front().header("Content-Type"));
  EXPECT_EQ(sent.front().body, "");
  EXPECT_FALSE(pushFileExists());
}

TEST_F(PushReporterTest, WithdrawalUsesTheStoredTokenAndIsNotRetried) {
  // The host may hand over a different token with the last removal; the stored one is withdrawn.
  record("beef", std::nullopt);
  fake_.on("DELETE", std::string(kReportPath) + "/beef", Answer{500});

  PushReporter::shared().tokenChanged(kToken, 0);
  PushReporter::shared().reportIfNeeded();

  EXPECT_EQ(fake_.requestCount(), 1u);
  EXPECT_EQ(fake_.requests("DELETE", std::string(kReportPath) + "/beef").size(), 1u);
  EXPECT_FALSE(pushFileExists());
}

TEST_F(PushReporterTest, LastWidgetRemovedWhileSignedOutOnlyForgetsLocally) {
  record(kToken, fingerprintOf(kSessionToken));
  signOut();
  PushReporter::shared().tokenChanged(kToken, 0);
  EXPECT_FALSE(pushFileExists());
  EXPECT_EQ(fake_.requestCount(), 0u);
}

TEST_F(PushReporterTest, LastWidgetRemovedWithoutARecordSendsNothing) {
  PushReporter::shared().tokenChanged(kToken, 0);
  EXPECT_EQ(fake_.requestCount(), 0u);
  EXPECT_FALSE(pushFileExists());
}

TEST_F(PushReporterTest, OlderPlatformSendsNothing) {
  host::platform::setVersion(25);
  host::platform::setCurrentPushToken(std::vector<std::uint8_t>{0x0A, 0xFF});
  PushReporter::shared().reportIfNeeded();
  record(kToken, std::nullopt);
  PushReporter::shared().reportIfNeeded();
  EXPECT_EQ(fake_.requestCount(), 0u);
  EXPECT_EQ(SharedStore::pushRegistration(), (PushRegistration{kToken, std::nullopt}));
}

TEST_F(PushReporterTest, SignedOutSendsNothing) {
  answerReports(201);
  record(kToken, std::nullopt);
  signOut();
  PushReporter::shared().reportIfNeeded();
  EXPECT_EQ(fake_.requestCount(), 0u);
}

TEST_F(PushReporterTest, SessionWithAnUnacceptableBaseIsNeverSentTheToken) {
  answerReports(201);
  record(kToken, std::nullopt);
  signIn("http://127.0.0.1:" + std::to_string(fake_.port()), kSessionToken);
  PushReporter::shared().reportIfNeeded();
  PushReporter::shared().tokenChanged(kToken, 0);
  EXPECT_EQ(fake_.requestCount(), 0u);
}

TEST_F(PushReporterTest, WithoutARecordTheHostsCurrentTokenIsReported) {
  answerReports(201);
  PushReporter::shared().reportIfNeeded();
  EXPECT_EQ(fake_.requestCount(), 0u);
  EXPECT_FALSE(pushFileExists());

  host::platform::setCurrentPushToken(std::vector<std::uint8_t>{0x0A, 0xFF});
  PushReporter::shared().reportIfNeeded();
  ASSERT_EQ(reports().size(), 1u);
  EXPECT_EQ(nlohmann::json::parse(reports().front().body).at("token"), kToken);
  EXPECT_EQ(SharedStore::pushRegistration(),
            (PushRegistration{kToken, fingerprintOf(kSessionToken)}));
}

TEST_F(PushReporterTest, WithoutARecordAFailedReportRecordsNothing) {
  answerReports(503);
  host::platform::setCurrentPushToken(std::vector<std::uint8_t>{0x0A, 0xFF});
  PushReporter::shared().reportIfNeeded();
  EXPECT_EQ(reports().size(), 1u);
  EXPECT_FALSE(pushFileExists());
}

TEST_F(PushReporterTest, PathIsResolvedAgainstTheBaseAlone) {
  answerReports(201);
  record(kToken, std::nullopt);
  signIn(fake_.baseUrl() + "/some/prefix?x=1#frag", kSessionToken);
  PushReporter::shared().reportIfNeeded();
  EXPECT_EQ(reports().size(), 1u);
}

}  // namespace
}  // namespace vx::push
