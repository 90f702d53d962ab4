#pragma once

// Sets ICU's default locale and time zone for one test and puts the previous ones back after it.

#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <memory>

namespace vx::testing {

class IcuDefaults {
 public:
  IcuDefaults(const char* locale, const char* zone)
      : locale_(icu::Locale::getDefault()), zone_(icu::TimeZone::createDefault()) {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale(locale), status);
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(zone));
  }
  ~IcuDefaults() {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(locale_, status);
    icu::TimeZone::adoptDefault(zone_.release());
  }
  IcuDefaults(const IcuDefaults&) = delete;
  IcuDefaults& operator=(const IcuDefaults&) = delete;

 private:
  icu::Locale locale_;
  std::unique_ptr<icu::TimeZone> zone_;
};

}  // namespace vx::testing
