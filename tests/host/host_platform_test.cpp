#include "host/host_platform.hpp"

#include <gtest/gtest.h>

namespace vx::host::platform {
namespace {

class HostPlatform : public ::testing::Test {
 protected:
  void TearDown() override {
    setVersion(kDefaultVersion);
    setCurrentPushToken(std::nullopt);
  }
};

TEST_F(HostPlatform, DefaultsToVersion26WithoutAPushToken) {
  EXPECT_EQ(version(), 26);
  EXPECT_TRUE(isAtLeast(26));
  EXPECT_TRUE(isAtLeast(15));
  EXPECT_FALSE(isAtLeast(27));
  EXPECT_EQ(currentPushToken(), std::nullopt);
}

TEST_F(HostPlatform, DeclaredVersionGatesByMajor) {
  setVersion(25);
  EXPECT_FALSE(isAtLeast(26));
  EXPECT_TRUE(isAtLeast(25));
  setVersion(14);
  EXPECT_FALSE(isAtLeast(15));
}

TEST(DecodePushToken, ReadsHexDigitsOfEitherCase) {
  EXPECT_EQ(decodePushToken("0aFF"), (std::vector<std::uint8_t>{0x0A, 0xFF}));
  EXPECT_EQ(decodePushToken("00"), (std::vector<std::uint8_t>{0x00}));
}

TEST(DecodePushToken, RefusesAnythingButPairsOfHexDigits) {
  EXPECT_EQ(decodePushToken(""), std::nullopt);
  EXPECT_EQ(decodePushToken("abc"), std::nullopt);
  EXPECT_EQ(decodePushToken("0g"), std::nullopt);
  EXPECT_EQ(decodePushToken("+1"), std::nullopt);
  EXPECT_EQ(decodePushToken("-1"), std::nullopt);
  EXPECT_EQ(decodePushToken("0a:ff"), std::nullopt);
  EXPECT_EQ(decodePushToken(" a"), std::nullopt);
}

}  // namespace
}  // namespace vx::host::platform
