#include "format/format_count.hpp"

#include <unicode/numberformatter.h>

#include "format/icu_text.hpp"

namespace vx {
namespace {

namespace number = icu::number;

// Counts always read as US English, whatever the user's locale: the widgets' texts are English.
// The formatters are immutable once built, so one instance of each serves every thread.
const number::LocalizedNumberFormatter& countFormatter(int maxFractionDigits) {
  static const number::LocalizedNumberFormatter whole =
      number::NumberFormatter::withLocale(icu::Locale("en_US"))
          .precision(number::Precision::maxFraction(0))
          .roundingMode(UNUM_ROUND_HALFEVEN);
  static const number::LocalizedNumberFormatter tenths =
      number::NumberFormatter::withLocale(icu::Locale("en_US"))
          .precision(number::Precision::maxFraction(1))
          .roundingMode(UNUM_ROUND_HALFEVEN);
  return maxFractionDigits == 0 ? whole : tenths;
}

std::optional<std::string> formatted(const number::FormattedNumber& number, UErrorCode status) {
  if (U_FAILURE(status)) return std::nullopt;
  icu::UnicodeString text = number.toString(status);
  if (U_FAILURE(status)) return std::nullopt;
  return icu_text::utf8(text);
}

// x in millions or thousands, with one decimal below 99.95 and none from there on (so 99.95K
// reads "100K", never "100.0K"); trailing zeros are dropped.
std::string shortened(double x, const char* suffix) {
  UErrorCode status = U_ZERO_ERROR;
  const auto& formatter = countFormatter(x >= 99.95 ? 0 : 1);
  return formatted(formatter.formatDouble(x, status), status).value_or("") + suffix;
}

// No site's period comes near a thousand million visitors; a count that does comes from a broken
// or hostile answer, and still takes no more room than a real one.
constexpr std::int64_t kBeyondCounts = 999'500'000;

}  // namespace

std::string formatCount(std::optional<std::int64_t> value) {
  if (!value) return "\u2014";
  const std::int64_t count = *value;
  if (count >= kBeyondCounts) return "999M+";
  if (count <= -kBeyondCounts) return "-999M+";
  if (count >= 999500) return shortened(static_cast<double>(count) / 1000000.0, "M");
  if (count < 10000) {
    UErrorCode status = U_ZERO_ERROR;
    return formatted(countFormatter(0).formatInt(count, status), status)
        .value_or(std::to_string(count));
  }
  return shortened(static_cast<double>(count) / 1000.0, "K");
}

}  // namespace vx
