#include "refresh/money.hpp"

#include <unicode/numberformatter.h>

#include <algorithm>
#include <cmath>

#include "format/icu_text.hpp"

namespace vx::refresh {
namespace {

namespace number = icu::number;

constexpr const char* kNoAmount = "\u2014";

std::string currencyCode(const std::optional<std::string>& currency) {
  return currency && !currency->empty() ? *currency : "USD";
}

// ICU takes any three invariant characters as a code and would print them verbatim ("U D 5.00");
// only the shape of an ISO 4217 code is let through. Lower case is fine: ICU upper-cases it.
bool isCurrencyCode(const std::string& code) {
  return code.size() == 3 && std::all_of(code.begin(), code.end(), [](char c) {
           return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
         });
}

int fractionDigits(double value) {
  return std::fabs(value) >= 100 || value == 0 ? 0 : 2;
}

}  // namespace

std::string formatMoney(double value, const std::optional<std::string>& currency) {
  // A sum that overflowed has no amount to show.
  if (!std::isfinite(value)) return kNoAmount;
  // 1-2. Currency style in the user's locale, in the given currency.
  const std::string code = currencyCode(currency);
  if (!isCurrencyCode(code)) return kNoAmount;
  UErrorCode status = U_ZERO_ERROR;
  icu::CurrencyUnit unit(icu::StringPiece(code), status);
  if (U_FAILURE(status)) return kNoAmount;
  // 3. Whole amounts from 100 on and for nothing; cents otherwise.
  const number::LocalizedNumberFormatter formatter =
      number::NumberFormatter::withLocale(icu_text::userLocale())
          .unit(unit)
          .precision(number::Precision::fixedFraction(fractionDigits(value)));
  // 4. The text, or the dash.
  icu::UnicodeString text = formatter.formatDouble(value, status).toString(status);
  if (U_FAILURE(status) || text.isEmpty()) return kNoAmount;
  return icu_text::utf8(text);
}

}  // namespace vx::refresh
