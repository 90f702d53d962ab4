#include "refresh/favicon_letter.hpp"

#include <memory>

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace vx::refresh {

std::string faviconLetter(std::string_view domain) {
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(
      icu::StringPiece(domain.data(), static_cast<int32_t>(domain.size())));
  if (text.isEmpty()) return {};
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> characters(
      icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
  int32_t end = 1;
  if (U_SUCCESS(status) && characters) {
    characters->setText(text);
    characters->first();
    end = characters->next();
    if (end == icu::BreakIterator::DONE) end = text.length();
  } else {
    end = text.moveIndex32(0, 1);
  }
  icu::UnicodeString first(text, 0, end);
  first.toUpper(icu::Locale::getRoot());
  std::string result;
  first.toUTF8String(result);
  return result;
}

}  // namespace vx::refresh
