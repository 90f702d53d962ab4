#pragma once

#include <string>

#include "support/scratch.hpp"

namespace vx::testing {

// An Info.plist as the build writes it, with the given identifier and build version.
inline std::string infoPlist(const std::string& identifier, const std::string& version = "1") {
  return R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>CFBundleIdentifier</key>
	<string>)" +
         identifier +
         R"(</string>
	<key>CFBundleVersion</key>
	<string>)" +
         version +
         R"(</string>
</dict>
</plist>
)";
}

}  // namespace vx::testing
