#include "net/origin.hpp"

#include <gtest/gtest.h>

namespace vx::net {
namespace {

constexpr auto kSameOrigin = RedirectScope::sameOrigin;
constexpr auto kOrHttps = RedirectScope::sameOriginOrHttps;

TEST(RedirectScopes, SameOriginKeepsSchemeHostAndPort) {
  const std::string from = "https://api.example.com/v1/projects";
  EXPECT_TRUE(mayFollow(kSameOrigin, from, "https://API.example.com:443/v1/other?x=1"));
  EXPECT_FALSE(mayFollow(kSameOrigin, from, "http://api.example.com/v1/projects"));
  EXPECT_FALSE(mayFollow(kSameOrigin, from, "https://api.example.com:8443/v1/projects"));
  EXPECT_FALSE(mayFollow(kSameOrigin, from, "https://images.example.net/v1/projects"));
  EXPECT_FALSE(mayFollow(kSameOrigin, from, "https://api.example.com@evil.example/v1/projects"));
  EXPECT_FALSE(mayFollow(kSameOrigin, from, "/v1/projects"));
}

TEST(RedirectScopes, HttpsElsewhereButNeverPlainHttp) {
  const std::string from = "https://api.example.com/v1/favicons/shop.example";
  EXPECT_TRUE(mayFollow(kOrHttps, from, "https://images.example.net/shop.png"));
  EXPECT_FALSE(mayFollow(kOrHttps, from, "http://images.example.net/shop.png"));
  EXPECT_FALSE(mayFollow(kOrHttps, from, "http://api.example.com/v1/favicons/shop.example"));
  // A local service over plain http stays within its own origin.
  EXPECT_TRUE(mayFollow(kOrHttps, "http://localhost:8080/a", "http://localhost:8080/b"));
  EXPECT_FALSE(mayFollow(kOrHttps, "http://localhost:8080/a", "http://localhost:8081/b"));
}

}  // namespace
}  // namespace vx::net
