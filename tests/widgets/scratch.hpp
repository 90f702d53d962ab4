#pragma once

// Test scaffolding shared by the widget tests: a temporary folder, scoped environment
// variables and ICU defaults, and file writing.

#include <optional>
#include <string>

#include "support/icu_defaults.hpp"
#include "support/scratch.hpp"

namespace vx::testing {

// An Info.plist as the build writes it; without a version when `version` is nothing.
inline std::string infoPlist(const std::optional<std::string>& version) {
  return bundleInfoPlist("test.widgets", version);
}

}  // namespace vx::testing
