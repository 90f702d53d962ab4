#pragma once

// Test scaffolding shared by the widget tests: a temporary folder, scoped environment
// variables and ICU defaults, and file writing.

#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace vx::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vx-widgets-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Writes `bytes` to `file` whole, creating the folders on the way.
inline void writeFile(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// An Info.plist as the build writes it; without a version when `version` is nothing.
inline std::string infoPlist(const std::optional<std::string>& version) {
  std::string entries = "\t<key>CFBundleIdentifier</key>\n\t<string>test.widgets</string>\n";
  if (version) entries += "\t<key>CFBundleVersion</key>\n\t<string>" + *version + "</string>\n";
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" + entries +
         "</dict>\n</plist>\n";
}

// Sets an environment variable for one scope and puts the previous value back afterwards.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* previous = std::getenv(name)) previous_ = previous;
    set(value);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment() { set(previous_); }

 private:
  void set(const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name_.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name_.c_str());
    }
  }
  std::string name_;
  std::optional<std::string> previous_;
};

// ICU's default locale and time zone for one scope (they decide where a local day starts).
class IcuDefaults {
 public:
  IcuDefaults(const char* locale, const char* zone)
      : locale_(icu::Locale::getDefault()), zone_(icu::TimeZone::createDefault()) {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale(locale), status);
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(zone));
  }
  IcuDefaults(const IcuDefaults&) = delete;
  IcuDefaults& operator=(const IcuDefaults&) = delete;
  ~IcuDefaults() {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(locale_, status);
    icu::TimeZone::adoptDefault(zone_.release());
  }

 private:
  icu::Locale locale_;
  std::unique_ptr<icu::TimeZone> zone_;
};

}  // namespace vx::testing
