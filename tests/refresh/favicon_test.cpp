#include "refresh/favicon.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "model/clock.hpp"
#include "refresh/favicon_color.hpp"
#include "store/shared_store.hpp"
#include "support/fake_service.hpp"
#include "support/scratch.hpp"

namespace vx::refresh {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

TEST(FaviconColor, HashesUtf16CodeUnitsIntoThePalette) {
  EXPECT_EQ(faviconColor(""), "#06b6d4");
  EXPECT_EQ(faviconColor("abc"), "#f59e0b");          // 96354
  EXPECT_EQ(faviconColor("Abc"), "#10b981");          // letter case changes the colour
  EXPECT_EQ(faviconColor("\u00e9"), "#8b5cf6");       // one code unit, 233, not two bytes
  EXPECT_EQ(faviconColor("\U0001F600"), "#14b8a6");   // a surrogate pair is two code units
  EXPECT_EQ(faviconColor("example.com"), "#14b8a6");  // negative as a signed number
  EXPECT_EQ(faviconColor("xfjfxtf"), "#f97316");      // hashes to exactly -2^31
}

TEST(FaviconHost, TakesTheHostOutOfAnAddressLikeDomain) {
  EXPECT_EQ(faviconHost("shop.example.org"), "shop.example.org");
  EXPECT_EQ(faviconHost("https://shop.example.org/blog/"), "shop.example.org");
  EXPECT_EQ(faviconHost("http://shop.example.org"), "shop.example.org");
  EXPECT_EQ(faviconHost("//shop.example.org//x"), "shop.example.org");
  EXPECT_EQ(faviconHost("https://"), "https://");
}

TEST(FaviconAddress, ReplacesTheBasePathAndKeepsTheHostInOneSegment) {
  EXPECT_EQ(faviconAddress("shop.example.org", "http://localhost:8080/api?x=1#top"),
            "http://localhost:8080/v1/favicons/shop.example.org");
  EXPECT_EQ(faviconAddress("a b?c=d#e", "https://api.example.com"),
            "https://api.example.com/v1/favicons/a%20b%3fc%3dd%23e");
  EXPECT_EQ(faviconAddress("100%", "https://api.example.com"),
            "https://api.example.com/v1/favicons/100%25");
}

TEST(FaviconAddress, RefusesHostsThatNameNoSite) {
  for (const char* host : {"", ".", "..", "https://"}) {
    EXPECT_EQ(faviconAddress(host, "https://api.example.com"), std::nullopt) << host;
  }
  EXPECT_EQ(faviconAddress("shop.example.org", "not an address"), std::nullopt);
}

// Downloads against the fake service, in a shared folder of the test's own.
class FaviconDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock::pin(kNow);
    auto shared = SharedStore::folder();
    ASSERT_TRUE(shared);
    folder_ = *shared;
  }

  void TearDown() override { clock::unpin(); }

  // An icon file in the shared folder, last modified `age` before now.
  void writeIcon(const std::string& name, const std::string& bytes, nanoseconds age) const {
    const fs::path file = folder_ / name;
    testing::writeFile(file, bytes);
    fs::last_write_time(file, file_clock::from_sys(kNow - age));
  }

  std::string read(const std::string& name) const { return testing::readFile(folder_ / name); }

  static api::Project project(std::string slug, std::string domain) {
    return api::Project{"uuid-" + slug, std::move(slug), std::move(domain), std::nullopt};
  }

  const Time kNow =
      Time(duration_cast<Time::duration>(sys_days(2026y / March / 5).time_since_epoch()));
  testing::FakeService fake_;
  testing::ScratchFolder home_;
  testing::ScopedEnvironment dataHome_{"XDG_DATA_HOME", (home_.path() / "data").string()};
  fs::path folder_;
};

TEST_F(FaviconDownloadTest, AnIconFromThisWeekIsUsedWithoutAsking) {
  writeIcon("favicon-shop.png", "old", 72h);
  EXPECT_EQ(favicon(project("shop", "shop.example.org"), fake_.baseUrl()), "favicon-shop.png");
  EXPECT_EQ(fake_.requestCount(), 0u);
}

TEST_F(FaviconDownloadTest, AStaleIconIsReplacedByANewDownload) {
  writeIcon("favicon-shop.png", "old", 8 * 24h);
  fake_.on("GET", "/v1/favicons/shop.example.org", {200, "\x89PNG new"});
  EXPECT_EQ(favicon(project("shop", "shop.example.org"), fake_.baseUrl()), "favicon-shop.png");
  EXPECT_EQ(read("favicon-shop.png"), "\x89PNG new");
}

TEST_F(FaviconDownloadTest, AStaleIconStaysWhenTheServiceHasNoneToGive) {
  writeIcon("favicon-shop.png", "old", 8 * 24h);
  fake_.on("GET", "/v1/favicons/shop.example.org", {404, "not found"});
  EXPECT_EQ(favicon(project("shop", "shop.example.org"), fake_.baseUrl()), "favicon-shop.png");
  EXPECT_EQ(read("favicon-shop.png"), "old");
  EXPECT_EQ(fake_.requestCount(), 1u);
}

TEST_F(FaviconDownloadTest, NoIconWithoutAFileOrASuccessfulDownload) {
  fake_.on("GET", "/v1/favicons/shop.example.org", {500, "oops"});
  fake_.on("GET", "/v1/favicons/blog.example.org", {201, "\x89PNG"});
  EXPECT_EQ(favicon(project("shop", "shop.example.org"), fake_.baseUrl()), std::nullopt);
  EXPECT_EQ(favicon(project("blog", "blog.example.org"), fake_.baseUrl()), std::nullopt);
  EXPECT_FALSE(fs::exists(folder_ / "favicon-shop.png"));
  EXPECT_FALSE(fs::exists(folder_ / "favicon-blog.png"));

  const std::string unreachable = fake_.baseUrl();
  fake_.stop();
  EXPECT_EQ(favicon(project("shop", "shop.example.org"), unreachable), std::nullopt);
}

TEST_F(FaviconDownloadTest, ALinkInPlaceOfAnIconIsNoIconUntilADownloadReplacesIt) {
  writeIcon("private.png", "private", 1h);
  fs::create_symlink(folder_ / "private.png", folder_ / "favicon-shop.png");
  fake_.on("GET", "/v1/favicons/shop.example.org", {404, "not found"});
  EXPECT_EQ(favicon(project("shop", "shop.example.org"), fake_.baseUrl()), std::nullopt);
  fake_.on("GET", "/v1/favicons/shop.example.org", {200, "\x89PNG new"});
  EXPECT_EQ(favicon(project("shop", "shop.example.org"), fake_.baseUrl()), "favicon-shop.png");
  EXPECT_FALSE(fs::is_symlink(folder_ / "favicon-shop.png"));
  EXPECT_EQ(read("private.png"), "private");
}

TEST_F(FaviconDownloadTest, AsksForTheHostAloneWithoutCredentials) {
  fake_.on("GET", "/v1/favicons/shop.example.org", {200, "\x89PNG"});
  EXPECT_EQ(favicon(project("shop", "https://shop.example.org/blog/post"), fake_.baseUrl()),
            "favicon-shop.png");
  ASSERT_EQ(fake_.requestCount(), 1u);
  const auto request = fake_.requests().front();
  EXPECT_EQ(request.method, "GET");
  EXPECT_EQ(request.target, "/v1/favicons/shop.example.org");
  EXPECT_EQ(request.header("Authorization"), std::nullopt);
  EXPECT_EQ(request.header("Cookie"), std::nullopt);
}

TEST_F(FaviconDownloadTest, ADomainCannotAddAQueryOrFragment) {
  fake_.otherwise({200, "\x89PNG"});
  EXPECT_EQ(favicon(project("shop", "evil.org?size=9999#x"), fake_.baseUrl()), "favicon-shop.png");
  ASSERT_EQ(fake_.requestCount(), 1u);
  EXPECT_EQ(fake_.requests().front().target, "/v1/favicons/evil.org%3fsize%3d9999%23x");
}

TEST_F(FaviconDownloadTest, UnsafeSlugsGetNoIconAndTouchNothing) {
  fake_.otherwise({200, "\x89PNG"});
  // Fresh icons where a careless join of these slugs would look.
  fs::create_directories(folder_ / "favicon-..");
  fs::create_directories(folder_ / "favicon-a");
  writeIcon("favicon-../x.png", "planted", 1h);
  writeIcon("favicon-a/b.png", "planted", 1h);
  const auto before = fs::last_write_time(folder_.parent_path());

  for (const std::string& slug :
       {std::string(), std::string("."), std::string(".."), std::string("a/b"), std::string("../x"),
        std::string("a\\b"), std::string("a\0b", 3)}) {
    EXPECT_EQ(favicon(project(slug, "shop.example.org"), fake_.baseUrl()), std::nullopt) << slug;
  }
  EXPECT_EQ(fake_.requestCount(), 0u);
  EXPECT_EQ(fs::last_write_time(folder_.parent_path()), before);
  EXPECT_EQ(read("favicon-a/b.png"), "planted");
}

TEST_F(FaviconDownloadTest, StartedDownloadsRunTogether) {
  fake_.on("GET", "/v1/favicons/a.org", {200, "a"});
  fake_.on("GET", "/v1/favicons/b.org", {200, "b"});
  auto first = startFavicon(project("a", "a.org"), fake_.baseUrl());
  auto second = startFavicon(project("b", "b.org"), fake_.baseUrl());
  EXPECT_TRUE(fake_.waitForRequests(2));
  EXPECT_EQ(first.get(), "favicon-a.png");
  EXPECT_EQ(second.get(), "favicon-b.png");
  EXPECT_EQ(read("favicon-a.png"), "a");
  EXPECT_EQ(read("favicon-b.png"), "b");
}

}  // namespace
}  // namespace vx::refresh
