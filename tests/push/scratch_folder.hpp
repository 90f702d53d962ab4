#pragma once

#include <string>

#include "support/scratch.hpp"

namespace vx::testing {

// An Info.plist as the build writes it, with the given identifier and build version.
inline std::string infoPlist(const std::string& identifier, const std::string& version = "1") {
  return bundleInfoPlist(identifier, version);
}

}  // namespace vx::testing
