#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/process.hpp"
#include "widgets_fixture.hpp"

namespace vx::testing {

// kNow in milliseconds since 1970, as the driver's --now takes it.
inline std::string nowOption() {
  using namespace std::chrono;
  return std::to_string(duration_cast<milliseconds>(kNow.time_since_epoch()).count());
}

inline std::int64_t millis(Time at) {
  using namespace std::chrono;
  return duration_cast<milliseconds>(at.time_since_epoch()).count();
}

// The driver run as the host runs it: a real process with its own environment (the test's
// shared folder, days in UTC) talking to the fake service.
class DriverTest : public WidgetsTest {
 protected:
  [[nodiscard]] std::map<std::string, std::string> environment() const {
    std::map<std::string, std::string> variables = {
        {"XDG_DATA_HOME", (scratch_.path() / "data").string()},
        {"TZ", "UTC"},
        {"LANG", "C.UTF-8"},
        {"PATH", "/usr/bin:/bin"}};
    // Sanitizer builds pass their settings on to the program under test.
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS"}) {
      if (const char* value = std::getenv(name)) variables[name] = value;
    }
    return variables;
  }

  [[nodiscard]] RunResult runDriver(const std::vector<std::string>& arguments,
                                    const std::string& input = {}) const {
    return run(program_, arguments, environment(), input);
  }

  // A copy of the program with a bundle of its own, whose Info.plist the test may replace.
  // Nothing when the version is nothing.
  std::string installCopy(const std::optional<std::string>& version) {
    const auto folder = scratch_.path() / "bin";
    std::filesystem::create_directories(folder);
    const auto copy = folder / "vantorix-widgets";
    std::filesystem::copy_file(program_, copy, std::filesystem::copy_options::overwrite_existing);
    writeFile(copyPlist(), infoPlist(version));
    return copy.string();
  }

  // The Info.plist of the copy's bundle; without a version when `version` is nothing.
  static std::string infoPlist(const std::optional<std::string>& version) {
    return bundleInfoPlist("test.widgets", version);
  }

  [[nodiscard]] std::filesystem::path copyPlist() const {
    return scratch_.path() / "bin" / "vantorix-widgets.bundle" / "Contents" / "Info.plist";
  }

  std::string program_ = VX_WIDGETS_PATH;
};

// Reads a one-shot command's answer.
inline nlohmann::json parsed(const RunResult& result) {
  return nlohmann::json::parse(result.output);
}

}  // namespace vx::testing
