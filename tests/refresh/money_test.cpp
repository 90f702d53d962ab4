#include "refresh/money.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "support/icu_defaults.hpp"

namespace vx::refresh {
namespace {

TEST(FormatMoney, CentsOnlyBelowOneHundred) {
  vx::testing::IcuDefaults defaults("en_US", "UTC");
  EXPECT_EQ(formatMoney(1234.56, "USD"), "$1,235");
  EXPECT_EQ(formatMoney(100, "USD"), "$100");
  EXPECT_EQ(formatMoney(99.5, "USD"), "$99.50");
  EXPECT_EQ(formatMoney(12.5, "USD"), "$12.50");
  EXPECT_EQ(formatMoney(0, "USD"), "$0");
  EXPECT_EQ(formatMoney(-150, "USD"), "-$150");
  EXPECT_EQ(formatMoney(-12.5, "USD"), "-$12.50");
}

TEST(FormatMoney, RoundsHalfToEven) {
  vx::testing::IcuDefaults defaults("en_US", "UTC");
  EXPECT_EQ(formatMoney(1234.5, "USD"), "$1,234");
  EXPECT_EQ(formatMoney(1235.5, "USD"), "$1,236");
  EXPECT_EQ(formatMoney(0.125, "USD"), "$0.12");
}

TEST(FormatMoney, AbsentOrEmptyCurrencyIsUsd) {
  vx::testing::IcuDefaults defaults("en_US", "UTC");
  EXPECT_EQ(formatMoney(5, ""), "$5.00");
  EXPECT_EQ(formatMoney(5, std::nullopt), "$5.00");
}

TEST(FormatMoney, FollowsTheUsersLocale) {
  vx::testing::IcuDefaults defaults("de_DE", "Europe/Berlin");
  EXPECT_EQ(formatMoney(12.5, "EUR"), "12,50\u00A0\u20AC");
  EXPECT_EQ(formatMoney(1234.56, "EUR"), "1.235\u00A0\u20AC");
}

TEST(FormatMoney, NoChosenLocaleReadsAsUsEnglish) {
  // LANG=C gives ICU the POSIX locale, an empty LANG its root locale.
  for (const char* none : {"en_US_POSIX", ""}) {
    vx::testing::IcuDefaults defaults(none, "UTC");
    EXPECT_EQ(formatMoney(31780, "EUR"), "\u20AC31,780") << "locale \"" << none << "\"";
  }
}

TEST(FormatMoney, OtherCurrenciesAndLowerCaseCodes) {
  vx::testing::IcuDefaults defaults("en_US", "UTC");
  EXPECT_EQ(formatMoney(120, "EUR"), "\u20AC120");
  EXPECT_EQ(formatMoney(5, "eur"), "\u20AC5.00");
}

TEST(FormatMoney, UnusableCurrencyOrAmountGivesTheDash) {
  vx::testing::IcuDefaults defaults("en_US", "UTC");
  for (const char* code : {"ZZZZ", "U D", "e$r", "US", "\xC3\xA9UR"}) {
    EXPECT_EQ(formatMoney(5, code), "\u2014") << code;
  }
  EXPECT_EQ(formatMoney(std::nan(""), "USD"), "\u2014");
  EXPECT_EQ(formatMoney(INFINITY, "USD"), "\u2014");
}

}  // namespace
}  // namespace vx::refresh
