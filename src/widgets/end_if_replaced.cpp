#include "widgets/end_if_replaced.hpp"

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "host/bundle.hpp"

namespace vx::widgets {
namespace {

constexpr std::string_view kVersionKey = "CFBundleVersion";

std::atomic<EndingHook> endingHook{nullptr};

}  // namespace

const std::optional<std::string>& launchedVersion() {
  static std::once_flag once;
  static std::optional<std::string> version;
  std::call_once(once, [] { version = host::Bundle::main()->infoString(kVersionKey); });
  return version;
}

bool replacedOnDisk(const std::optional<std::string>& launched,
                    const std::filesystem::path& infoPlist) {
  // 2. A process that launched without a version text has nothing to compare.
  if (!launched) return false;
  // 3. and 4. An unreadable file, or a missing or non-text version, leaves the process running.
  const std::optional<std::string> onDisk = host::plistString(infoPlist, kVersionKey);
  if (!onDisk) return false;
  // 5. Exact text comparison.
  return *onDisk != *launched;
}

void endIfReplaced() {
  // 1. Where the bundle's Info.plist is now, and whether it names another build.
  const std::filesystem::path location = host::Bundle::main()->infoPlist();
  if (!replacedOnDisk(launchedVersion(), location)) return;
  if (EndingHook hook = endingHook.load()) hook();
  // At once: no static destructors run while other threads may still be answering requests.
  std::_Exit(0);
}

void setEndingHook(EndingHook hook) {
  endingHook.store(hook);
}

}  // namespace vx::widgets
