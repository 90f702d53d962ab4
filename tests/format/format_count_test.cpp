#include "format/format_count.hpp"

#include <gtest/gtest.h>

#include "support/icu_defaults.hpp"

namespace vx {
namespace {

struct CountCase {
  std::optional<std::int64_t> value;
  const char* expected;
};

TEST(FormatCount, FollowsTheAbbreviationTable) {
  testing::IcuDefaults defaults("en_US", "UTC");
  const CountCase cases[] = {
      {std::nullopt, "\u2014"},
      {0, "0"},
      {12, "12"},
      {9999, "9,999"},
      {10000, "10K"},
      {12345, "12.3K"},
      {99949, "99.9K"},
      {99950, "100K"},
      {999499, "999K"},
      {999500, "1M"},
      {1250000, "1.2M"},  // half to even, not 1.3M
      {1350000, "1.4M"},
      {123456789, "123M"},
      {999500000, "999M+"},  // beyond any site, no wider than a real count
      {INT64_MAX, "999M+"},
  };
  for (const CountCase& c : cases) {
    EXPECT_EQ(formatCount(c.value), c.expected) << c.value.value_or(-1);
  }
}

TEST(FormatCount, NegativeCountsAreNeverAbbreviated) {
  testing::IcuDefaults defaults("en_US", "UTC");
  EXPECT_EQ(formatCount(-5), "-5");
  EXPECT_EQ(formatCount(-20000), "-20,000");
  EXPECT_EQ(formatCount(INT64_MIN), "-999M+");
}

TEST(FormatCount, IgnoresTheUsersLocale) {
  testing::IcuDefaults defaults("de_DE", "Europe/Berlin");
  EXPECT_EQ(formatCount(9999), "9,999");
  EXPECT_EQ(formatCount(12345), "12.3K");
}

}  // namespace
}  // namespace vx
