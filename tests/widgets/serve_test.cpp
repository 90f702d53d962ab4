// The driver's `serve` protocol and the end of a replaced extension process, run as real
// processes.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "driver_fixture.hpp"

namespace vx::testing {
namespace {

using nlohmann::json;

std::vector<json> answerLines(const std::string& output) {
  std::vector<json> answers;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) answers.push_back(json::parse(line));
  return answers;
}

std::string requestLine(const json& request) {
  return request.dump() + "\n";
}

class ServeTest : public DriverTest {};

TEST_F(ServeTest, EightTimelinesSentTogetherShareOneRefresh) {
  signIn();
  serveProjects({"alpha", "beta"});
  std::string input;
  for (int id = 1; id <= 8; ++id) {
    const char* kind = id % 2 == 0 ? "AllProjectsWidget" : "ProjectSummaryWidget";
    input += requestLine(
        {{"id", id}, {"op", "timeline"}, {"kind", kind}, {"configuration", {{"period", "days7"}}}});
  }
  const auto result = runDriver({"serve", "--now", nowOption()}, input);
  ASSERT_EQ(result.status, 0) << result.error;

  const auto answers = answerLines(result.output);
  std::set<int> ids;
  for (const json& answer : answers) {
    ids.insert(answer.at("id").get<int>());
    const json& entries = answer.at("result").at("entries");
    ASSERT_EQ(entries.size(), 3u) << answer.dump();
    EXPECT_EQ(entries[0]["snapshot"]["at"], millis(kNow));
  }
  EXPECT_EQ(ids, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(projectListRequests(), 1u);
}

TEST_F(ServeTest, MalformedLinesAreAnsweredAndServingGoesOn) {
  const std::string input =
      "this is not json\n"
      "[1, 2]\n" +
      requestLine({{"id", "a"}, {"op", "render"}}) +
      requestLine({{"id", "b"}, {"op", "timeline"}, {"kind", "Clock"}}) +
      requestLine({{"id", "c"},
                   {"op", "timeline"},
                   {"kind", "WaitingWidget"},
                   {"configuration", {{"period", "days7"}}}}) +
      requestLine({{"id", "d"}, {"op", "placeholder"}, {"kind", "WaitingWidget"}});
  const auto result = runDriver({"serve", "--now", nowOption()}, input);
  ASSERT_EQ(result.status, 0) << result.error;

  std::map<std::string, json> byId;
  int unreadable = 0;
  for (const json& answer : answerLines(result.output)) {
    if (answer.at("id").is_null()) {
      ++unreadable;
      EXPECT_TRUE(answer.at("error").is_string());
    } else {
      byId[answer.at("id").get<std::string>()] = answer;
    }
  }
  EXPECT_EQ(unreadable, 2);
  EXPECT_TRUE(byId.at("a").contains("error"));
  EXPECT_TRUE(byId.at("b").contains("error"));
  EXPECT_TRUE(byId.at("c").contains("error"));
  EXPECT_EQ(byId.at("d").at("result").at("message"), "Open Vantorix to load your projects");
  EXPECT_EQ(byId.at("d").at("result").at("date"), millis(kNow));
}

// Lines are read whole however long (an entry handed back with thousands of waiting items),
// and the last one is answered without its line break.
TEST_F(ServeTest, LongLinesAndALastLineWithoutABreakAreRead) {
  const json placeholder = {{"op", "placeholder"}, {"kind", "WaitingWidget"}};
  json padded = placeholder;
  padded["aaa"] = std::string(3 << 20, 'x');  // written before the id
  padded["id"] = "long";
  json last = placeholder;
  last["id"] = "last";
  std::string input = padded.dump() + "\n" + last.dump();
  const auto result = runDriver({"serve", "--now", nowOption()}, input);
  ASSERT_EQ(result.status, 0) << result.error;
  std::set<std::string> ids;
  for (const json& answer : answerLines(result.output))
    ids.insert(answer.at("id").get<std::string>());
  EXPECT_EQ(ids, (std::set<std::string>{"long", "last"}));
}

TEST_F(ServeTest, EntitiesAndProjectsFollowTheCache) {
  SharedStore::save(snapshotAt(kNow, {"alpha", "beta", "gamma"}));
  const std::string input =
      requestLine({{"id", 1}, {"op", "entities"}, {"ids", {"gamma", "alpha", "nope", "gamma"}}}) +
      requestLine({{"id", 2}, {"op", "projects"}});
  const auto result = runDriver({"serve"}, input);
  ASSERT_EQ(result.status, 0) << result.error;
  for (const json& answer : answerLines(result.output)) {
    if (answer["id"] == 1) {
      EXPECT_EQ(answer["result"], json({{{"id", "alpha"}, {"name", "alpha.example"}},
                                        {{"id", "gamma"}, {"name", "gamma.example"}}}));
    } else {
      EXPECT_EQ(answer["result"].size(), 3u);
    }
  }
}

TEST_F(ServeTest, PushTokenIsReportedBeforeTheProcessEnds) {
  signIn();
  fake_.on("POST", "/v1/widgets/push-token", testing::Answer{201, "{}"});
  const auto result = runDriver(
      {"serve"},
      requestLine({{"id", 1}, {"op", "pushTokenDidChange"}, {"token", "0aff"}, {"widgets", 2}}));
  ASSERT_EQ(result.status, 0) << result.error;
  EXPECT_EQ(answerLines(result.output).at(0), json({{"id", 1}, {"result", true}}));
  const auto reports = fake_.requests("POST", "/v1/widgets/push-token");
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(json::parse(reports[0].body)["token"], "0aff");
}

TEST_F(ServeTest, PushTokenBelowPlatform26IsRefused) {
  signIn();
  const auto result = runDriver(
      {"serve", "--platform-version", "25"},
      requestLine({{"id", 1}, {"op", "pushTokenDidChange"}, {"token", "0aff"}, {"widgets", 1}}));
  ASSERT_EQ(result.status, 0);
  EXPECT_TRUE(answerLines(result.output).at(0).contains("error"));
  EXPECT_EQ(fake_.requestCount(), 0u);
}

std::string handOver(const std::string& token, int widgets) {
  static int id = 0;
  return requestLine(
      {{"id", ++id}, {"op", "pushTokenDidChange"}, {"token", token}, {"widgets", widgets}});
}

// The push token's record in the shared folder, or nothing when there is none.
std::optional<json> pushRecord() {
  const auto folder = SharedStore::folder();
  if (!folder || !std::filesystem::exists(*folder / "push.json")) return std::nullopt;
  return json::parse(readFile(*folder / "push.json"));
}

// Each hand-over's request at the service, as "POST token" or "DELETE token".
std::vector<std::string> pushRequests(const testing::FakeService& fake) {
  std::vector<std::string> sent;
  for (const auto& request : fake.requests()) {
    if (request.method == "POST" && request.target == "/v1/widgets/push-token") {
      sent.push_back("POST " + json::parse(request.body).at("token").get<std::string>());
    } else if (request.method == "DELETE") {
      sent.push_back("DELETE " + request.target.substr(request.target.rfind('/') + 1));
    }
  }
  return sent;
}

class ServePushTest : public ServeTest {
 protected:
  void SetUp() override {
    ServeTest::SetUp();
    signIn();
    // Withdrawals are answered 404, which changes nothing: their outcome is not looked at.
    fake_.on("POST", "/v1/widgets/push-token", testing::Answer{201, "{}"});
  }
};

TEST_F(ServePushTest, HandOversSentTogetherTakeEffectInTheirOrder) {
  // Placed, removed, placed again with another token, ...: each step undoes the one before, so
  // any two applied the other way round show in what the service was told.
  std::string input;
  std::vector<std::string> expected;
  for (int i = 1; i <= 8; ++i) {
    const std::string token = "0" + std::to_string(i);
    input += handOver(token, 1) + handOver(token, 0);
    expected.insert(expected.end(), {"POST " + token, "DELETE " + token});
  }
  const auto result = runDriver({"serve"}, input);
  ASSERT_EQ(result.status, 0) << result.error;
  EXPECT_EQ(pushRequests(fake_), expected);
  EXPECT_EQ(pushRecord(), std::nullopt);
}

TEST_F(ServePushTest, LastOfSeveralTokensIsTheOneRecorded) {
  std::string input;
  std::vector<std::string> expected;
  for (int i = 10; i <= 25; ++i) {
    const std::string token = std::to_string(i);
    input += handOver(token, 2);
    expected.push_back("POST " + token);
  }
  const auto result = runDriver({"serve"}, input);
  ASSERT_EQ(result.status, 0) << result.error;
  EXPECT_EQ(pushRequests(fake_), expected);
  ASSERT_TRUE(pushRecord());
  EXPECT_EQ(pushRecord()->at("token"), "25");
}

TEST_F(ServePushTest, WithdrawnTokenIsNotReportedAgainByTheNextRefresh) {
  serveProjects({"alpha"});
  // The host started the process with a token, then its last widget went away.
  const std::string input =
      handOver("0aff", 0) +
      requestLine({{"id", "t"}, {"op", "timeline"}, {"kind", "WaitingWidget"}});
  const auto result = runDriver({"serve", "--push-token", "0aff", "--now", nowOption()}, input);
  ASSERT_EQ(result.status, 0) << result.error;
  // The refresh did run and saved a fresh snapshot, after which it reports what needs reporting.
  const auto answers = answerLines(result.output);
  ASSERT_EQ(answers.size(), 2u);
  for (const json& answer : answers) {
    if (answer.at("id") == "t") {
      EXPECT_TRUE(answer["result"]["entries"][0].contains("snapshot"));
    }
  }
  EXPECT_EQ(pushRequests(fake_), std::vector<std::string>{});
  EXPECT_EQ(pushRecord(), std::nullopt);
}

TEST_F(ServeTest, LocalRequestsAreAnsweredWhileRefreshesWait) {
  signIn();
  // The project list is held back until the test has seen the other answers.
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  fake_.on("GET", "/v1/projects", [released](const testing::RecordedRequest&) {
    (void)released.wait_for(std::chrono::seconds(30));  // a guard against a hung test only
    return testing::Answer{200, projectList({"alpha"})};
  });
  fake_.on("POST", "/v1/widgets/push-token", testing::Answer{201, "{}"});
  ChildProcess child(program_, {"serve", "--now", nowOption()}, environment());
  for (int id = 1; id <= 9; ++id) {
    child.write(requestLine({{"id", id}, {"op", "timeline"}, {"kind", "WaitingWidget"}}));
  }
  ASSERT_TRUE(fake_.waitForRequests(1));
  child.write(
      requestLine({{"id", "kinds"}, {"op", "kinds"}}) +
      requestLine({{"id", "placeholder"}, {"op", "placeholder"}, {"kind", "WaitingWidget"}}) +
      requestLine({{"id", "preview"}, {"op", "snapshot"}, {"kind", "WaitingWidget"}}) +
      requestLine(
          {{"id", "push"}, {"op", "pushTokenDidChange"}, {"token", "0aff"}, {"widgets", 1}}));
  std::set<std::string> local;
  for (int i = 0; i < 4; ++i) {
    const auto line = child.readLine(std::chrono::seconds(20));
    ASSERT_TRUE(line);
    const json answer = json::parse(*line);
    ASSERT_TRUE(answer.at("id").is_string()) << *line;
    EXPECT_FALSE(answer.contains("error")) << *line;
    local.insert(answer.at("id").get<std::string>());
  }
  EXPECT_EQ(local, (std::set<std::string>{"kinds", "placeholder", "preview", "push"}));
  release.set_value();
  child.closeInput();
  std::set<int> timelines;
  while (const auto line = child.readLine())
    timelines.insert(json::parse(*line).at("id").get<int>());
  EXPECT_EQ(timelines.size(), 9u);
  EXPECT_EQ(child.wait(), 0);
}

TEST_F(ServeTest, RequestWithoutIdIsAnsweredWithoutOne) {
  const std::string input = "{\"op\": \"kinds\"\n" + requestLine({{"op", "kinds"}}) +
                            requestLine({{"op", "placeholder"}});
  const auto result = runDriver({"serve"}, input);
  ASSERT_EQ(result.status, 0) << result.error;
  const auto answers = answerLines(result.output);
  ASSERT_EQ(answers.size(), 3u);
  int unreadable = 0;
  int withoutId = 0;
  for (const json& answer : answers) {
    if (answer.contains("id")) {
      EXPECT_TRUE(answer.at("id").is_null());
      EXPECT_TRUE(answer.contains("error"));
      ++unreadable;
    } else {
      ++withoutId;
    }
  }
  EXPECT_EQ(unreadable, 1);
  EXPECT_EQ(withoutId, 2);
}

// A long-lived process started from one bundle, asked again after the bundle on disk changed.
class ReplacedBundleTest : public DriverTest {
 protected:
  // Starts the copy, gets one preview answered, then puts `plist` in place of its Info.plist
  // and asks for another preview.
  void replaceBetweenPreviews(const std::optional<std::string>& launched,
                              const std::string& plist) {
    child_.emplace(installCopy(launched), std::vector<std::string>{"serve"}, environment());
    const std::string preview = R"({"op":"snapshot","kind":"WaitingWidget","id":)";
    child_->write(preview + "1}\n");
    const auto first = child_->readLine();
    ASSERT_TRUE(first);
    EXPECT_EQ(json::parse(*first)["id"], 1);
    writeFile(copyPlist(), plist);
    child_->write(preview + "2}\n");
  }

  std::optional<ChildProcess> child_;
};

TEST_F(ReplacedBundleTest, AnotherVersionOnDiskEndsTheProcessWithStatusZero) {
  replaceBetweenPreviews("41", infoPlist("42"));
  // The process ends by itself, without answering and before end of input.
  EXPECT_EQ(child_->readLine(), std::nullopt);
  EXPECT_EQ(child_->wait(), 0);
  EXPECT_EQ(child_->remainingOutput(), "");
}

TEST_F(ReplacedBundleTest, UnreadableInfoPlistKeepsTheProcessServing) {
  replaceBetweenPreviews("41", "<plist><dict><key>CFBundleVersion</key>");
  const auto second = child_->readLine();
  ASSERT_TRUE(second);
  EXPECT_EQ(json::parse(*second)["id"], 2);
  EXPECT_EQ(child_->wait(), 0);
}

TEST_F(ReplacedBundleTest, ProcessLaunchedWithoutVersionKeepsServing) {
  replaceBetweenPreviews(std::nullopt, infoPlist("42"));
  const auto second = child_->readLine();
  ASSERT_TRUE(second);
  EXPECT_EQ(json::parse(*second)["id"], 2);
  EXPECT_EQ(child_->wait(), 0);
}

TEST_F(ReplacedBundleTest, TimelineOfAReplacedBundleEndsBeforeAnyRefresh) {
  signIn();
  serveProjects({"alpha"});
  child_.emplace(installCopy("41"), std::vector<std::string>{"serve"}, environment());
  // A placeholder touches nothing on disk, but its answer shows the process has started.
  child_->write(R"({"id":1,"op":"placeholder","kind":"AllProjectsWidget"})"
                "\n");
  ASSERT_TRUE(child_->readLine());
  writeFile(copyPlist(), infoPlist("42"));
  child_->write(R"({"id":2,"op":"timeline","kind":"AllProjectsWidget"})"
                "\n");
  EXPECT_EQ(child_->readLine(), std::nullopt);
  EXPECT_EQ(child_->wait(), 0);
  EXPECT_EQ(fake_.requestCount(), 0u);
}

}  // namespace
}  // namespace vx::testing
