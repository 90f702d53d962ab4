#include "refresh/fetcher.hpp"
#include "refresh/favicon_letter.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "model/clock.hpp"
#include "model/snapshot_json.hpp"
#include "net/http_session.hpp"
#include "store/shared_store.hpp"
#include "support/fake_service.hpp"
#include "support/rendezvous.hpp"
#include "support/scratch.hpp"

namespace vx::refresh {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono;
using nlohmann::json;
using Kind = Fetcher::Outcome::Kind;

const Time kNow =
    Time(duration_cast<Time::duration>(sys_days(2026y / March / 10).time_since_epoch() + 12h));

// A refresh against the fake service, in a shared folder of the test's own, at a pinned time.
class FetcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock::pin(kNow);
    folder_ = *SharedStore::folder();
    signIn(fake_.baseUrl());
  }

  void TearDown() override {
    clock::unpin();
    net::HttpSession::configureShared({});
  }

  void signIn(const std::string& api) const {
    std::ofstream(folder_ / "session.json") << json{{"api", api}, {"token", "T"}}.dump();
  }

  // The service lists projects p0 … p(count-1); each answers its live requests.
  void listProjects(int count) {
    json data = json::array();
    for (int i = 0; i < count; ++i) {
      const std::string slug = "p" + std::to_string(i);
      data.push_back(
          {{"uuid", "u" + std::to_string(i)}, {"slug", slug}, {"domain", slug + ".example"}});
      fake_.on("GET", "/v1/projects/" + slug + "/analytics/realtime",
               {200, json{{"current_visitors", 10 + i}}.dump()});
      fake_.on("GET", "/v1/projects/" + slug + "/inbox?limit=100&offset=0", {200, "{}"});
      fake_.on("GET",
               "/v1/projects/u" + std::to_string(i) +
                   "/articles?limit=50&offset=0&sort_by=updated_at&order_by=desc",
               {200, "{}"});
      fake_.on("GET", "/v1/projects/" + slug + "/analytics/summary?period=today",
               {200, R"({"visitors": 12})"});
    }
    fake_.on("GET", "/v1/projects", {200, json{{"data", data}}.dump()});
  }

  // The period summary of one project for 7 days.
  void summarise(const std::string& slug, int visitors) {
    fake_.on("GET", "/v1/projects/" + slug + "/analytics/summary?period=7d&compare=previous_period",
             {200, json{{"visitors", visitors}}.dump()});
  }

  static Snapshot cached(Time at, int projects) {
    Snapshot snapshot;
    snapshot.at = at;
    snapshot.projectCount = projects;
    for (int i = 0; i < projects; ++i) {
      ProjectEntry entry;
      entry.name = "p" + std::to_string(i) + ".example";
      entry.slug = "p" + std::to_string(i);
      entry.faviconLetter = "P";
      entry.faviconColor = "#06b6d4";
      snapshot.projects.push_back(entry);
    }
    return snapshot;
  }

  std::string fileText(const std::string& name) const { return testing::readFile(folder_ / name); }

  std::size_t requestsFor(std::string_view target) const {
    return fake_.requests("GET", target).size();
  }

  testing::FakeService fake_;
  testing::ScratchFolder home_;
  testing::ScopedEnvironment dataHome_{"XDG_DATA_HOME", (home_.path() / "data").string()};
  fs::path folder_;
};

TEST_F(FetcherTest, FullRefreshBuildsEntriesInListOrderAndSavesThem) {
  listProjects(12);
  Fetcher fetcher;
  auto outcome = fetcher.current(std::nullopt);
  ASSERT_EQ(outcome.kind, Kind::fresh);
  const Snapshot& snapshot = *outcome.snapshot;
  EXPECT_EQ(snapshot.projectCount, 12);
  ASSERT_EQ(snapshot.projects.size(), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(snapshot.projects[i].slug, "p" + std::to_string(i));
  EXPECT_EQ(snapshot.projects[3].realtimeVisitors, 13);
  EXPECT_EQ(snapshot.projects[3].name, "p3.example");
  EXPECT_EQ(snapshot.projects[3].faviconLetter, "P");
  EXPECT_EQ(snapshot.projects[3].todayDisplay, "+12 today");
  EXPECT_EQ(snapshot.at, kNow);
  EXPECT_EQ(requestsFor("/v1/projects/p10/analytics/realtime"), 0u);
  EXPECT_EQ(SharedStore::snapshot(), snapshot);
}

TEST_F(FetcherTest, AFullRefreshWithoutPeriodSendsFourRequestsPerProjectAndOneIconLookup) {
  listProjects(3);
  Fetcher fetcher;
  ASSERT_EQ(fetcher.current(std::nullopt).kind, Kind::fresh);
  std::size_t withToken = 0;
  std::size_t iconLookups = 0;
  for (const auto& request : fake_.requests()) {
    if (request.header("Authorization") == "Bearer T") ++withToken;
    if (request.target.starts_with("/v1/favicons/")) {
      ++iconLookups;
      EXPECT_FALSE(request.header("Authorization"));
    }
  }
  EXPECT_EQ(withToken, 13u);
  EXPECT_EQ(iconLookups, 3u);
}

// The period's figures need only the projects' slugs and zones: they are asked for beside the
// entries, not after them. Each of the two answers waits for the other's request.
TEST_F(FetcherTest, PeriodFiguresAreAskedForBesideTheEntries) {
  listProjects(1);
  auto together = std::make_shared<testing::Rendezvous>(2);
  fake_.on("GET", "/v1/projects/p0/analytics/realtime",
           [together](const testing::RecordedRequest&) {
             return together->arriveAndWait() ? testing::Answer{200, R"({"current_visitors": 10})"}
                                              : testing::Answer{500};
           });
  fake_.on("GET", "/v1/projects/p0/analytics/summary?period=7d&compare=previous_period",
           [together](const testing::RecordedRequest&) {
             return together->arriveAndWait() ? testing::Answer{200, R"({"visitors": 40})"}
                                              : testing::Answer{500};
           });

  const auto outcome = Fetcher().current(WidgetPeriod::days7);

  ASSERT_EQ(outcome.kind, Kind::fresh);
  EXPECT_EQ(outcome.snapshot->projects[0].realtimeVisitors, 10);
  EXPECT_EQ(outcome.snapshot->projects[0].metrics(WidgetPeriod::days7)->visitors, 40);
}

TEST_F(FetcherTest, ConcurrentCallersShareOneRefresh) {
  listProjects(2);
  fake_.on("GET", "/v1/projects",
           testing::Answer(200, R"({"data": [{"uuid": "u0", "slug": "p0", "domain": "p0.example"},
                                          {"uuid": "u1", "slug": "p1", "domain": "p1.example"}]})")
               .after(300ms));
  summarise("p0", 5);
  summarise("p1", 6);
  SharedStore::save(cached(kNow - 60s, 2));
  Fetcher fetcher;
  Fetcher::Outcome first;
  Fetcher::Outcome second;
  std::thread a([&] { first = fetcher.current(WidgetPeriod::days7); });
  ASSERT_TRUE(fake_.waitForRequests(1));
  std::thread b([&] { second = fetcher.current(WidgetPeriod::days7); });
  a.join();
  b.join();
  EXPECT_EQ(requestsFor("/v1/projects"), 1u);
  EXPECT_EQ(first.kind, Kind::fresh);
  EXPECT_EQ(second, first);
  EXPECT_EQ(first.snapshot->projects[1].metrics(WidgetPeriod::days7)->visitors, 6);
}

TEST_F(FetcherTest, RecentListTopsUpOnlyTheStalePeriod) {
  Snapshot last = cached(kNow - 5s, 2);
  last.periodAt["days7"] = kNow - 30s;
  last.periodAt["days28"] = kNow - 30s;
  last.projects[0].metricsByPeriod["days28"].visitors = 99;
  SharedStore::save(last);
  summarise("p0", 40);
  Fetcher fetcher;
  auto outcome = fetcher.current(WidgetPeriod::days7);
  ASSERT_EQ(outcome.kind, Kind::fresh);
  EXPECT_EQ(requestsFor("/v1/projects"), 0u);
  EXPECT_EQ(outcome.snapshot->at, last.at);
  EXPECT_EQ(outcome.snapshot->periodAt.at("days7"), kNow);
  EXPECT_EQ(outcome.snapshot->periodAt.at("days28"), kNow - 30s);
  EXPECT_EQ(outcome.snapshot->projects[0].metrics(WidgetPeriod::days7)->visitors, 40);
  EXPECT_EQ(outcome.snapshot->projects[0].metrics(WidgetPeriod::days28)->visitors, 99);
  // p1's summary failed: it holds no figures for the period.
  EXPECT_FALSE(outcome.snapshot->projects[1].metrics(WidgetPeriod::days7));
}

TEST_F(FetcherTest, FreshCacheIsAnsweredWithoutTheNetworkEvenFromTheFuture) {
  SharedStore::save(cached(kNow - 5s, 1));
  Fetcher fetcher;
  EXPECT_EQ(fetcher.current(std::nullopt).kind, Kind::fresh);
  SharedStore::save(cached(kNow + 5min, 1));
  auto outcome = fetcher.current(std::nullopt);
  EXPECT_EQ(outcome.kind, Kind::fresh);
  EXPECT_EQ(outcome.snapshot->at, kNow + 5min);
  EXPECT_EQ(fake_.requestCount(), 0u);
}

TEST_F(FetcherTest, ClockPinnedAheadOfTheSystemLeavesTheSharedCacheAlone) {
  listProjects(1);
  summarise("p0", 40);
  SharedStore::save(cached(kNow - 1h, 1));
  // Later than any system clock this test will meet.
  const Time ahead =
      Time(duration_cast<Time::duration>(sys_days(2200y / January / 1).time_since_epoch()));
  clock::pin(ahead);
  for (auto period : {std::optional<WidgetPeriod>(), std::optional(WidgetPeriod::days7)}) {
    const auto outcome = Fetcher().current(period);
    ASSERT_EQ(outcome.kind, Kind::fresh);
    EXPECT_EQ(outcome.snapshot->at, ahead);
    ASSERT_TRUE(SharedStore::snapshot());
    EXPECT_EQ(SharedStore::snapshot()->at, kNow - 1h);
  }
}

TEST_F(FetcherTest, SnapshotFromCenturiesAgoIsStale) {
  for (auto year : {1y, 1700y}) {
    Snapshot snapshot = cached(
        Time(duration_cast<Time::duration>(sys_days(year / January / 1).time_since_epoch())), 1);
    snapshot.periodAt["days7"] = snapshot.at;
    EXPECT_FALSE(isFresh(snapshot, std::nullopt)) << static_cast<int>(year);
    EXPECT_FALSE(isFresh(snapshot, WidgetPeriod::days7)) << static_cast<int>(year);
  }
}

TEST_F(FetcherTest, FreshnessNeedsBothTheSnapshotAndThePeriodWithinTenSeconds) {
  Snapshot snapshot = cached(kNow - 9s, 1);
  EXPECT_TRUE(isFresh(snapshot, std::nullopt));
  EXPECT_FALSE(isFresh(snapshot, WidgetPeriod::days7));
  snapshot.periodAt["days7"] = kNow - 10s;
  EXPECT_FALSE(isFresh(snapshot, WidgetPeriod::days7));
  snapshot.periodAt["days7"] = kNow - 9s;
  EXPECT_TRUE(isFresh(snapshot, WidgetPeriod::days7));
  snapshot.at = kNow - 10s;
  EXPECT_FALSE(isFresh(snapshot, std::nullopt));
}

TEST_F(FetcherTest, ForbiddenListKeepsTheCachedSnapshotUntouched) {
  SharedStore::save(cached(kNow - 60s, 1));
  const std::string before = fileText("snapshot.json");
  fake_.on("GET", "/v1/projects", {403, "{}"});
  Fetcher fetcher;
  auto outcome = fetcher.current(std::nullopt);
  EXPECT_EQ(outcome.kind, Kind::kept);
  EXPECT_EQ(outcome.snapshot, cached(kNow - 60s, 1));
  EXPECT_EQ(fileText("snapshot.json"), before);
}

TEST_F(FetcherTest, EmptyOrBrokenListsAreKeptWithoutASnapshot) {
  Fetcher fetcher;
  fake_.on("GET", "/v1/projects", {200, R"({"data": []})"});
  EXPECT_EQ(fetcher.current(std::nullopt), Fetcher::Outcome::kept(std::nullopt));
  fake_.on("GET", "/v1/projects", {200, R"({"data": [{"slug": "x"}]})"});
  EXPECT_EQ(fetcher.current(std::nullopt), Fetcher::Outcome::kept(std::nullopt));
  EXPECT_FALSE(fs::exists(folder_ / "snapshot.json"));
}

TEST_F(FetcherTest, UnauthorisedListSignsOutAndDeletesOnlyTheSnapshot) {
  SharedStore::save(cached(kNow - 60s, 1));
  fake_.on("GET", "/v1/projects", {401, "{}"});
  Fetcher fetcher;
  EXPECT_EQ(fetcher.current(WidgetPeriod::days7).kind, Kind::signedOut);
  EXPECT_FALSE(fs::exists(folder_ / "snapshot.json"));
  EXPECT_TRUE(fs::exists(folder_ / "session.json"));
}

TEST_F(FetcherTest, MissingOrUnacceptableSessionSignsOutWithoutTheNetwork) {
  Fetcher fetcher;
  for (const char* api : {"https://localhost:1", "not an address"}) {
    signIn(api);
    SharedStore::save(cached(kNow - 60s, 1));
    EXPECT_EQ(fetcher.current(std::nullopt).kind, Kind::signedOut) << api;
    EXPECT_FALSE(fs::exists(folder_ / "snapshot.json"));
  }
  fs::remove(folder_ / "session.json");
  SharedStore::save(cached(kNow, 1));
  EXPECT_EQ(fetcher.current(std::nullopt).kind, Kind::signedOut);
  EXPECT_FALSE(fs::exists(folder_ / "snapshot.json"));
  EXPECT_EQ(fake_.requestCount(), 0u);
}

TEST_F(FetcherTest, PeriodUnobtainableForEveryProjectKeepsTheWorkingSnapshotUnstamped) {
  listProjects(2);
  Fetcher fetcher;
  auto outcome = fetcher.current(WidgetPeriod::days7);
  ASSERT_EQ(outcome.kind, Kind::kept);
  ASSERT_TRUE(outcome.snapshot);
  EXPECT_EQ(outcome.snapshot->at, kNow);
  EXPECT_TRUE(outcome.snapshot->periodAt.empty());
  EXPECT_EQ(SharedStore::snapshot(), outcome.snapshot);
}

TEST_F(FetcherTest, PeriodFiguresAreCarriedOverByProjectAcrossAFullRefresh) {
  Snapshot last = cached(kNow - 60s, 2);
  last.periodAt["days28"] = kNow - 60s;
  last.projects[1].metricsByPeriod["days28"].visitors = 77;
  SharedStore::save(last);
  listProjects(2);
  Fetcher fetcher;
  auto outcome = fetcher.current(std::nullopt);
  ASSERT_EQ(outcome.kind, Kind::fresh);
  EXPECT_EQ(outcome.snapshot->periodAt, last.periodAt);
  EXPECT_EQ(outcome.snapshot->projects[1].metrics(WidgetPeriod::days28)->visitors, 77);
  EXPECT_EQ(outcome.snapshot->projects[1].realtimeVisitors, 11);
}

TEST_F(FetcherTest, ATimedOutLiveRequestShowsZeroAndTheRefreshStaysFresh) {
  net::HttpSession::configureShared({.noProgressTimeoutSeconds = 0.5});
  listProjects(2);
  fake_.on("GET", "/v1/projects/p1/analytics/realtime",
           testing::Answer(200, R"({"current_visitors": 5})").after(3s));
  Fetcher fetcher;
  auto outcome = fetcher.current(std::nullopt);
  ASSERT_EQ(outcome.kind, Kind::fresh);
  EXPECT_EQ(outcome.snapshot->projects[0].realtimeVisitors, 10);
  EXPECT_EQ(outcome.snapshot->projects[1].realtimeVisitors, 0);
  EXPECT_EQ(outcome.snapshot->projects[1].todayDisplay, "+12 today");
}

}  // namespace
}  // namespace vx::refresh

namespace vx::refresh {
namespace {

TEST(FaviconLetterTest, FirstCharacterOfTheDomainUpperCased) {
  EXPECT_EQ(faviconLetter("shop.example"), "S");
  EXPECT_EQ(faviconLetter(""), "");
  EXPECT_EQ(faviconLetter("\xC3\xA9t\xC3\xA9.fr"), "\xC3\x89");  // é → É, two bytes kept whole
  EXPECT_EQ(faviconLetter("e\xCC\x81t\xC3\xA9.fr"), "E\xCC\x81");  // e + combining accent
  EXPECT_EQ(faviconLetter("9gag.com"), "9");
}

}  // namespace
}  // namespace vx::refresh
