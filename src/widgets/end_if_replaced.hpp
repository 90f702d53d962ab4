#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vx::widgets {

// The build version this process runs: "CFBundleVersion" of the running bundle's Info.plist,
// read once, the first time it is asked for (safe when first asked from several threads), and
// kept for the life of the process. Nothing when the bundle declared no version text then.
[[nodiscard]] const std::optional<std::string>& launchedVersion();

// Ends the process, with exit status 0, when the running bundle's Info.plist on disk now names
// another build version than the one the process launched with: the bundle has been replaced,
// and the host starts a fresh process from the new one at its next request. Returns when the
// versions agree or either cannot be read.
void endIfReplaced();

// Whether the Info.plist at `infoPlist` names a version other than `launched`; false when
// `launched` is nothing, the file cannot be read as a property list, or its "CFBundleVersion"
// is missing or not text.
[[nodiscard]] bool replacedOnDisk(const std::optional<std::string>& launched,
                                  const std::filesystem::path& infoPlist);

// A function run right before `endIfReplaced` ends the process, from whichever thread ends it:
// the driver uses it to let no answer line be cut off half-way. It must not return control to
// the caller in any other way than by returning.
using EndingHook = void (*)();
void setEndingHook(EndingHook hook);

}  // namespace vx::widgets
