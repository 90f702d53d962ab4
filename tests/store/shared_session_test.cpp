#include "model/shared_session.hpp"

#include <string>

#include <gtest/gtest.h>

#include "config/build_config.hpp"

namespace vx {
namespace {

std::optional<std::string> baseOf(const std::string& api) {
  return SharedSession{api, "secret"}.baseURL();
}

const std::string kApiHost = config::kApiHost;

TEST(SharedSessionBaseURL, AcceptsLocalhostOverHttpOnAnyPort) {
  EXPECT_EQ(baseOf("http://localhost:8080"), "http://localhost:8080/");
  EXPECT_EQ(baseOf("http://localhost"), "http://localhost/");
}

TEST(SharedSessionBaseURL, DropsCredentialsWrittenIntoTheAddress) {
  EXPECT_EQ(baseOf("http://user:pw@localhost:8080/x"), "http://localhost:8080/x");
  EXPECT_EQ(baseOf("https://user@" + kApiHost), "https://" + kApiHost + "/");
}

TEST(SharedSessionBaseURL, AcceptsTheApiHostOverHttps) {
  EXPECT_EQ(baseOf("https://" + kApiHost), "https://" + kApiHost + "/");
  EXPECT_EQ(baseOf("https://" + kApiHost + ":8443/v1"), "https://" + kApiHost + ":8443/v1");
}

TEST(SharedSessionBaseURL, RefusesOtherSchemeAndHostPairs) {
  EXPECT_EQ(baseOf("http://127.0.0.1:8080"), std::nullopt);
  EXPECT_EQ(baseOf("http://[::1]:8080"), std::nullopt);
  EXPECT_EQ(baseOf("https://localhost"), std::nullopt);
  EXPECT_EQ(baseOf("http://" + kApiHost), std::nullopt);
  EXPECT_EQ(baseOf("ftp://localhost"), std::nullopt);
  EXPECT_EQ(baseOf("https://evil.example"), std::nullopt);
}

TEST(SharedSessionBaseURL, ComparesSchemeAndHostExactlyAsWritten) {
  EXPECT_EQ(baseOf("HTTP://localhost"), std::nullopt);
  EXPECT_EQ(baseOf("Https://" + kApiHost), std::nullopt);
  EXPECT_EQ(baseOf("http://LOCALHOST"), std::nullopt);
  EXPECT_EQ(baseOf("http://localhost."), std::nullopt);
}

TEST(SharedSessionBaseURL, LooksAtTheHostNotAtLookAlikeText) {
  EXPECT_EQ(baseOf("http://localhost@evil.example"), std::nullopt);
  EXPECT_EQ(baseOf("http://localhost.evil.example"), std::nullopt);
  EXPECT_EQ(baseOf("http://evil.example/localhost"), std::nullopt);
  EXPECT_EQ(baseOf("https://" + kApiHost + ".evil.example"), std::nullopt);
}

TEST(SharedSessionBaseURL, RefusesTextThatIsNotAnAbsoluteAddressWithAHost) {
  EXPECT_EQ(baseOf(""), std::nullopt);
  EXPECT_EQ(baseOf("garbage"), std::nullopt);
  EXPECT_EQ(baseOf("localhost:8080"), std::nullopt);
  EXPECT_EQ(baseOf("/v1/projects"), std::nullopt);
  EXPECT_EQ(baseOf(" http://localhost"), std::nullopt);
  EXPECT_EQ(baseOf("http://localhost:99999"), std::nullopt);
  EXPECT_EQ(baseOf("file:///etc/passwd"), std::nullopt);
}

TEST(SharedSessionDecoding, ReadsBothMembersAndIgnoresOthers) {
  auto session = decodeSharedSession(R"({"api":"http://localhost:1","token":"t0k","expires":12})");
  ASSERT_TRUE(session.has_value());
  EXPECT_EQ(session->api, "http://localhost:1");
  EXPECT_EQ(session->token, "t0k");
}

TEST(SharedSessionDecoding, FailsWithoutEitherMemberOrWithTheWrongKind) {
  EXPECT_EQ(decodeSharedSession(R"({"api":"http://localhost"})"), std::nullopt);
  EXPECT_EQ(decodeSharedSession(R"({"token":"t"})"), std::nullopt);
  EXPECT_EQ(decodeSharedSession(R"({"api":"http://localhost","token":null})"), std::nullopt);
  EXPECT_EQ(decodeSharedSession(R"({"api":"http://localhost","token":7})"), std::nullopt);
  EXPECT_EQ(decodeSharedSession(R"(["http://localhost","t"])"), std::nullopt);
  EXPECT_EQ(decodeSharedSession(""), std::nullopt);
  EXPECT_EQ(decodeSharedSession(R"({"api":"http://localhost","token":"t")"), std::nullopt);
}

}  // namespace
}  // namespace vx
