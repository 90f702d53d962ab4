#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/build_config.hpp"

namespace vx::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vx-store-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Sets an environment variable for one test and puts the previous value back afterwards.
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

// Every test of the store runs against a data home inside its own temporary folder.
class SharedFolderTest : public ::testing::Test {
 protected:
  [[nodiscard]] std::filesystem::path dataHome() const { return temporary_.path() / "data"; }
  [[nodiscard]] std::filesystem::path expectedFolder() const {
    return dataHome() / (std::string("Q7MZ2K4XB9.") + config::kAppBundleId);
  }

  TemporaryFolder temporary_;
  ScopedEnvironment home_{"HOME", temporary_.path().string()};
  ScopedEnvironment xdg_{"XDG_DATA_HOME", dataHome().string()};
};

// Names in `folder` other than `keep` (temporaries left behind, for instance).
inline std::vector<std::string> strayFiles(const std::filesystem::path& folder,
                                           const std::string& keep) {
  std::vector<std::string> stray;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename() != keep) stray.push_back(entry.path().filename().string());
  }
  return stray;
}

}  // namespace vx::testing
