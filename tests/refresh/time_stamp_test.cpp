#include "refresh/time_stamp.hpp"

#include <gtest/gtest.h>

#include <unicode/locid.h>

#include <chrono>
#include <string>
#include <thread>

namespace vx::refresh {
namespace {

using namespace std::chrono;

Time at(sys_days day, Time::duration timeOfDay) {
  return Time(day.time_since_epoch()) + timeOfDay;
}

const Time kHalfPastTwo = at(sys_days(2026y / March / 5), 14h + 30min);

TEST(ParseStamp, ReadsWholeSecondsWithZuluOrNumericOffset) {
  EXPECT_EQ(parseStamp("2026-03-05T14:30:00Z"), kHalfPastTwo);
  EXPECT_EQ(parseStamp("2026-03-05T15:30:00+01:00"), kHalfPastTwo);
  EXPECT_EQ(parseStamp("2026-03-05T09:00:00-05:30"), kHalfPastTwo);
}

TEST(ParseStamp, ReadsFractionalSecondsOfAnyLengthToTheMillisecond) {
  EXPECT_EQ(parseStamp("2026-03-05T14:30:00.123Z"), kHalfPastTwo + 123ms);
  EXPECT_EQ(parseStamp("2026-03-05T14:30:00.1Z"), kHalfPastTwo + 100ms);
  EXPECT_EQ(parseStamp("2026-03-05T14:30:00.123456Z"), kHalfPastTwo + 123ms);
  EXPECT_EQ(parseStamp("2026-03-05T16:30:00.5+02:00"), kHalfPastTwo + 500ms);
  EXPECT_EQ(parseStamp("2026-03-05T14:30:00.123456789Z"), kHalfPastTwo + 123ms);
}

TEST(ParseStamp, RefusesNumbersLongerThanAnyFieldInsteadOfCrashing) {
  // A fraction this long once made the date reader divide by zero.
  EXPECT_EQ(parseStamp("2026-03-05T14:30:00." + std::string(40, '3') + "Z"), std::nullopt);
  EXPECT_EQ(parseStamp("2-3-05T4:30:00." + std::string(120, '3') + "2+0"), std::nullopt);
  EXPECT_EQ(parseStamp("0000000002026-03-05T14:30:00Z"), std::nullopt);
}

TEST(ParseStamp, RejectsTextThatIsNotExactlyOneStamp) {
  EXPECT_EQ(parseStamp(""), std::nullopt);
  EXPECT_EQ(parseStamp("yesterday"), std::nullopt);
  EXPECT_EQ(parseStamp("2026-03-05"), std::nullopt);
  EXPECT_EQ(parseStamp("2026-03-05T14:30:00"), std::nullopt);  // no zone
  EXPECT_EQ(parseStamp("2026-03-05T14:30:00Zjunk"), std::nullopt);
  EXPECT_EQ(parseStamp("2026-03-05T14:30:00.123Z "), std::nullopt);
  EXPECT_EQ(parseStamp("2026-03-05T14:30:00.Z"), std::nullopt);
  EXPECT_EQ(parseStamp("2026-02-30T14:30:00Z"), std::nullopt);  // no such day
  EXPECT_EQ(parseStamp("2026-03-05T14:61:00Z"), std::nullopt);
  EXPECT_EQ(parseStamp("2026-03-05 14:30:00Z"), std::nullopt);
}

TEST(ParseStamp, ReadsEveryFourDigitYear) {
  // "0001-01-01T00:00:00Z" is a common way of writing "no date"; it is still a date.
  EXPECT_EQ(parseStamp("0001-01-01T00:00:00Z"), at(sys_days(1y / January / 1), 0s));
  EXPECT_EQ(parseStamp("1700-06-01T12:00:00Z"), at(sys_days(1700y / June / 1), 12h));
  EXPECT_EQ(parseStamp("2262-04-12T00:00:00Z"), at(sys_days(2262y / April / 12), 0s));
  EXPECT_EQ(parseStamp("9999-12-31T23:59:59.999Z"),
            at(sys_days(9999y / December / 31), 23h + 59min + 59s + 999ms));
}

TEST(ParseStamp, ReadsTheSameWhateverTheDefaultLocale) {
  // Readers are made per thread, so a fresh thread builds them under the changed default.
  UErrorCode status = U_ZERO_ERROR;
  const icu::Locale previous = icu::Locale::getDefault();
  icu::Locale::setDefault(icu::Locale("ar_EG@calendar=islamic"), status);
  std::optional<Time> read;
  std::thread([&] { read = parseStamp("2026-03-05T14:30:00Z"); }).join();
  icu::Locale::setDefault(previous, status);
  EXPECT_EQ(read, kHalfPastTwo);
}

}  // namespace
}  // namespace vx::refresh
