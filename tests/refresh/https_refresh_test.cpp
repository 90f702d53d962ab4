// Refreshes through a real nginx in front of the demo service: TLS with a throw-away
// certificate authority, HTTP/2 through ALPN, the service's own API host name pointed at the
// loopback server by the session's test-only options.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "api/client.hpp"
#include "api/records.hpp"
#include "config/build_config.hpp"
#include "demo/catalogue.hpp"
#include "demo/service.hpp"
#include "model/clock.hpp"
#include "model/snapshot_json.hpp"
#include "net/http_session.hpp"
#include "refresh/favicon.hpp"
#include "refresh/fetcher.hpp"
#include "store/shared_store.hpp"
#include "support/fake_service.hpp"
#include "support/icu_defaults.hpp"
#include "support/nginx_server.hpp"
#include "support/scratch.hpp"
#include "support/test_certificates.hpp"

namespace vx::refresh {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono;
using Kind = Fetcher::Outcome::Kind;

const Time kNow =
    Time(duration_cast<Time::duration>(sys_days(2026y / March / 10).time_since_epoch() + 12h));

demo::ServiceOptions anyPort() {
  demo::ServiceOptions options;
  options.port = 0;
  return options;
}

// The demo service on a free port, nginx in front of it with one listener per kind of
// certificate, and the HTTP session pointed at nginx for the service's API host.
class HttpsRefreshTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::NginxServer::program()) {
      GTEST_SKIP() << "nginx is not installed (scripts/setup.sh installs it)";
    }
    clock::pin(kNow);
    ASSERT_EQ(demo_.start(), "");

    const std::string host = config::kApiHost;
    testing::CertificateAuthority trusted("Vantorix test authority");
    testing::CertificateAuthority stranger("Unknown authority");
    testing::writeFile(home_.path() / "ca.pem", trusted.certificatePem());
    nginx_ = std::make_unique<testing::NginxServer>(
        home_.path() / "nginx", demo_.port(),
        std::vector<testing::NginxListener>{
            {"service", trusted.issue(host)},
            {"otherName", trusted.issue("other.example")},
            {"expired", trusted.issue(host, -hours(48), -hours(24))},
            {"untrusted", stranger.issue(host)},
            {"outdatedTls", trusted.issue(host), false, true},
        });

    net::HttpSession::Options options;
    options.caFile = (home_.path() / "ca.pem").string();
    for (const char* listener : {"service", "otherName", "expired", "untrusted", "outdatedTls"}) {
      options.resolve.push_back(host + ":" + std::to_string(nginx_->port(listener)) + ":127.0.0.1");
    }
    net::HttpSession::configureShared(options);
  }

  void TearDown() override {
    net::HttpSession::configureShared({});
    if (nginx_) nginx_->stop();
    demo_.stop();
    clock::unpin();
  }

  // The service's address as the desktop application hands it over, at one of nginx's ports.
  std::string apiBase(const char* listener) const {
    return "https://" + std::string(config::kApiHost) + ":" +
           std::to_string(nginx_->port(listener));
  }

  static fs::path folder() { return *SharedStore::folder(); }

  static void signIn(const std::string& api, const std::string& token = demo::kDefaultToken) {
    std::ofstream(folder() / "session.json")
        << nlohmann::json{{"api", api}, {"token", token}}.dump();
  }

  static Snapshot earlier() {
    Snapshot snapshot;
    snapshot.at = kNow - minutes(5);
    snapshot.projectCount = 1;
    ProjectEntry entry;
    entry.name = "earlier.example";
    entry.slug = "earlier";
    entry.faviconLetter = "E";
    entry.faviconColor = "#06b6d4";
    snapshot.projects.push_back(entry);
    return snapshot;
  }

  // The transport error of the project list request at `api` ("accepted" when there is none).
  static std::string transportError(const std::string& api) {
    try {
      (void)api::Client(api, demo::kDefaultToken).get<api::Project::List>("/v1/projects");
    } catch (const net::TransportError& error) {
      return error.what();
    }
    return "accepted";
  }

  static std::string text(const std::optional<Snapshot>& snapshot) {
    return snapshot ? encodeSnapshot(*snapshot).value_or("(unencodable)") : "(nothing)";
  }

  testing::IcuDefaults icu_{"en_US", "UTC"};
  testing::ScratchFolder home_;
  testing::ScopedEnvironment dataHome_{"XDG_DATA_HOME", (home_.path() / "data").string()};
  testing::WithoutProxies direct_;
  demo::Service demo_{anyPort()};
  std::unique_ptr<testing::NginxServer> nginx_;
};

// A full refresh for 28 days, then a top-up for 7 days a second later, in a shared folder of
// its own.
struct RefreshAndTopUp {
  Fetcher::Outcome full;
  Fetcher::Outcome topUp;
};

RefreshAndTopUp refreshAndTopUp(const fs::path& dataHome, const std::string& api) {
  testing::ScopedEnvironment home("XDG_DATA_HOME", dataHome.string());
  clock::pin(kNow);
  std::ofstream(*SharedStore::folder() / "session.json")
      << nlohmann::json{{"api", api}, {"token", demo::kDefaultToken}}.dump();
  Fetcher fetcher;
  RefreshAndTopUp result{fetcher.current(WidgetPeriod::days28), {}};
  clock::advance(seconds(1));
  result.topUp = fetcher.current(WidgetPeriod::days7);
  return result;
}

TEST_F(HttpsRefreshTest, RefreshAndTopUpThroughTheServerMatchPlainHttp) {
  const auto plain = refreshAndTopUp(home_.path() / "plain", demo_.baseAddress());
  const auto secure = refreshAndTopUp(home_.path() / "secure", apiBase("service"));

  ASSERT_EQ(plain.full.kind, Kind::fresh);
  ASSERT_EQ(plain.topUp.kind, Kind::fresh);
  EXPECT_EQ(secure.full.kind, Kind::fresh);
  EXPECT_EQ(secure.topUp.kind, Kind::fresh);
  EXPECT_EQ(text(secure.full.snapshot), text(plain.full.snapshot));
  EXPECT_EQ(text(secure.topUp.snapshot), text(plain.topUp.snapshot));

  // The comparison means something: the top-up added the second period to real figures, and
  // the icons came through the server too.
  const Snapshot& topUp = *secure.topUp.snapshot;
  EXPECT_EQ(topUp.at, kNow);
  EXPECT_EQ(topUp.periodAt.size(), 2u);
  ASSERT_FALSE(topUp.projects.empty());
  EXPECT_TRUE(topUp.projects[0].metricsByPeriod.contains("days7"));
  EXPECT_TRUE(topUp.projects[0].metricsByPeriod.contains("days28"));
  EXPECT_TRUE(topUp.projects[0].faviconFile.has_value());

  // The top-up asked for figures only.
  std::size_t lists = 0;
  for (const auto& request : nginx_->requests()) lists += request.target == "/v1/projects";
  EXPECT_EQ(lists, 1u);
}

TEST_F(HttpsRefreshTest, RefreshesNegotiateHttp2AndShareOneConnection) {
  signIn(apiBase("service"));
  auto& session = net::HttpSession::shared();
  const auto before = session.statistics();
  Fetcher fetcher;
  ASSERT_EQ(fetcher.current(WidgetPeriod::days28).kind, Kind::fresh);
  const auto afterFirst = session.statistics();
  clock::advance(minutes(1));  // everything stale: a second full refresh
  ASSERT_EQ(fetcher.current(WidgetPeriod::days28).kind, Kind::fresh);
  const auto afterSecond = session.statistics();

  EXPECT_EQ(afterFirst.connectionsOpened - before.connectionsOpened, 1u);
  EXPECT_EQ(afterSecond.connectionsOpened - afterFirst.connectionsOpened, 0u);

  const std::size_t sent = afterSecond.requestsFinished - before.requestsFinished;
  ASSERT_GT(sent, 20u);
  ASSERT_TRUE(nginx_->waitForRequests(sent));
  std::set<std::uint64_t> connections;
  for (const auto& request : nginx_->requests()) {
    SCOPED_TRACE(request.target);
    EXPECT_EQ(request.listener, "service");
    EXPECT_EQ(request.alpn, "h2");
    EXPECT_EQ(request.protocol, "HTTP/2.0");
    // Icons are fetched without the token; everything else carries it.
    EXPECT_EQ(request.authorization, !request.target.starts_with("/v1/favicons/"));
    connections.insert(request.connection);
  }
  EXPECT_EQ(connections.size(), 1u);
}

TEST_F(HttpsRefreshTest, ATopUpWithoutAKeptConnectionStillOpensOnlyOne) {
  // A recent snapshot from elsewhere: the next call tops the period up straight away, all
  // projects' first figure requests at once, before any connection to the server exists.
  signIn(demo_.baseAddress());
  ASSERT_EQ(Fetcher().current(std::nullopt).kind, Kind::fresh);
  signIn(apiBase("service"));
  auto& session = net::HttpSession::shared();
  const auto before = session.statistics();
  ASSERT_EQ(Fetcher().current(WidgetPeriod::days7).kind, Kind::fresh);
  const auto after = session.statistics();

  EXPECT_EQ(after.connectionsOpened - before.connectionsOpened, 1u);
  ASSERT_TRUE(nginx_->waitForRequests(after.requestsFinished - before.requestsFinished));
  std::set<std::uint64_t> connections;
  for (const auto& request : nginx_->requests()) {
    EXPECT_NE(request.target, "/v1/projects");
    connections.insert(request.connection);
  }
  EXPECT_EQ(connections.size(), 1u);
}

TEST_F(HttpsRefreshTest, RejectedTokenThroughTheServerSignsOut) {
  signIn(apiBase("service"), "not-the-token");
  SharedStore::save(earlier());
  EXPECT_EQ(Fetcher().current(WidgetPeriod::days7), Fetcher::Outcome::signedOut());
  EXPECT_FALSE(fs::exists(folder() / "snapshot.json"));
  EXPECT_TRUE(fs::exists(folder() / "session.json"));

  ASSERT_TRUE(nginx_->waitForRequests(1));
  const auto requests = nginx_->requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, "/v1/projects");
  EXPECT_EQ(requests[0].status, 401);
  EXPECT_EQ(requests[0].alpn, "h2");
}

TEST_F(HttpsRefreshTest, TheShippedTrustStoreRefusesTheTestAuthority) {
  net::HttpSession::Options shipped;
  shipped.resolve = net::HttpSession::shared().options().resolve;
  net::HttpSession::configureShared(shipped);
  EXPECT_THAT(transportError(apiBase("service")), ::testing::HasSubstr("issuer"));
  EXPECT_TRUE(nginx_->requests().empty());
}

TEST_F(HttpsRefreshTest, AnIconMayComeFromAnotherHostOverHttpsOnly) {
  const std::string site = demo::catalogue(1).front().domain;
  testing::FakeService service;
  service.on("GET", "/v1/favicons/a.example",
             {302, "", {{"Location", apiBase("service") + "/v1/favicons/" + site}}});
  service.on("GET", "/v1/favicons/b.example",
             {302, "", {{"Location", demo_.baseAddress() + "/v1/favicons/" + site}}});
  EXPECT_EQ(favicon({"ua", "a", "a.example", {}}, service.baseUrl()), "favicon-a.png");
  EXPECT_EQ(favicon({"ub", "b", "b.example", {}}, service.baseUrl()), std::nullopt);
}

// A certificate the client must refuse: issued for another name, expired, or from an
// authority it does not trust; or a server that speaks nothing newer than TLS 1.1 (which the
// client must not even offer, whatever the system's TLS library allows). With the words of the
// TLS library's complaint, so that the case fails for its own reason and not for an
// unreachable server.
struct RefusedCertificate {
  const char* listener;
  const char* complaint;
};

class RefusedCertificateTest : public HttpsRefreshTest,
                               public ::testing::WithParamInterface<RefusedCertificate> {};

TEST_P(RefusedCertificateTest, IsATransportErrorThatKeepsTheSnapshotAndSendsNothing) {
  const auto [listener, complaint] = GetParam();
  signIn(apiBase(listener));
  SharedStore::save(earlier());
  const std::string saved = testing::readFile(folder() / "snapshot.json");

  EXPECT_EQ(Fetcher().current(WidgetPeriod::days7), Fetcher::Outcome::kept(earlier()));
  EXPECT_EQ(testing::readFile(folder() / "snapshot.json"), saved);

  EXPECT_THAT(transportError(apiBase(listener)), ::testing::HasSubstr(complaint));

  // No request got through the handshake, so the token went nowhere.
  EXPECT_TRUE(nginx_->requests().empty());
}

INSTANTIATE_TEST_SUITE_P(Certificates, RefusedCertificateTest,
                         ::testing::Values(RefusedCertificate{"otherName", "subject name"},
                                           RefusedCertificate{"expired", "expired"},
                                           RefusedCertificate{"untrusted", "issuer"},
                                           RefusedCertificate{"outdatedTls", "protocol version"}),
                         [](const auto& info) { return std::string(info.param.listener); });

}  // namespace
}  // namespace vx::refresh
