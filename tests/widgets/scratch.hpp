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
  std::string entries = "\t<key>CFBundleIdentifier</key>\n\t<string>test.widgets</string>\n";
  if (version) entries += "\t<key>CFBundleVersion</key>\n\t<string>" + *version + "</string>\n";
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" + entries +
         "</dict>\n</plist>\n";
}

}  // namespace vx::testing
