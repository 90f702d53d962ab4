#include "refresh/time_stamp.hpp"

#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/parsepos.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <memory>

namespace vx::refresh {
namespace {

// A strict reader for one pattern, in the (proleptic) Gregorian calendar with the fixed POSIX
// locale so that neither the user's locale nor calendar can change how a stamp reads. The zone is
// UTC, though every accepted stamp carries its own offset.
std::unique_ptr<icu::SimpleDateFormat> makeReader(const char16_t* pattern) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Locale posix("en_US_POSIX");
  auto reader = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(pattern), posix, status);
  if (U_FAILURE(status)) return nullptr;
  auto calendar =
      std::make_unique<icu::GregorianCalendar>(icu::TimeZone::getGMT()->clone(), posix, status);
  // Stamps are proleptic Gregorian, as ISO 8601 has it: no Julian calendar before 1582.
  calendar->setGregorianChange(U_DATE_MIN, status);
  if (U_FAILURE(status)) return nullptr;
  reader->adoptCalendar(calendar.release());
  if (U_FAILURE(status)) return nullptr;
  reader->setLenient(false);
  return reader;
}

// ICU formats are not safe to share between threads, and stamps are read from several
// project tasks at once: each thread keeps its own pair.
struct Readers {
  std::unique_ptr<icu::SimpleDateFormat> whole = makeReader(u"yyyy-MM-dd'T'HH:mm:ssXXXXX");
  std::unique_ptr<icu::SimpleDateFormat> fractional = makeReader(u"yyyy-MM-dd'T'HH:mm:ss.SSSXXXXX");
};

// Milliseconds since 1970 as the clock's instant; absent outside the clock's range (which every
// four-digit year is well inside).
std::optional<Time> instant(UDate milliseconds) {
  using Milliseconds = std::chrono::duration<double, std::milli>;
  constexpr double limit = std::chrono::duration_cast<Milliseconds>(Time::duration::max()).count();
  if (!std::isfinite(milliseconds) || std::fabs(milliseconds) >= limit) return std::nullopt;
  return Time(std::chrono::milliseconds(std::llround(milliseconds)));
}

// The stamp when `reader` accepts the whole text; trailing characters make it fail.
std::optional<Time> readWith(const icu::SimpleDateFormat* reader, const icu::UnicodeString& text) {
  if (reader == nullptr) return std::nullopt;
  icu::ParsePosition position(0);
  UDate date = reader->parse(text, position);
  if (position.getErrorIndex() >= 0 || position.getIndex() != text.length()) return std::nullopt;
  return instant(date);
}

// Whether some run of digits is longer than any field of a stamp can be. ICU scales a fraction
// of more than three digits down with a 32-bit power of ten, which overflows and, from some
// thirty digits on, divides by zero: such a text must never reach it.
bool hasOverlongNumber(std::string_view text) {
  constexpr std::size_t kLongestNumber = 9;
  std::size_t run = 0;
  for (const char c : text) {
    run = (c >= '0' && c <= '9') ? run + 1 : 0;
    if (run > kLongestNumber) return true;
  }
  return false;
}

}  // namespace

std::optional<Time> parseStamp(std::string_view text) {
  // The longest sensible stamp is some forty characters; anything far longer is not one.
  constexpr std::size_t kLongestStamp = 256;
  if (text.empty() || text.size() > kLongestStamp || hasOverlongNumber(text)) return std::nullopt;
  thread_local const Readers readers;
  const icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
  if (auto stamp = readWith(readers.whole.get(), unicode)) return stamp;
  return readWith(readers.fractional.get(), unicode);
}

}  // namespace vx::refresh
