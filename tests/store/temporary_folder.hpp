#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/build_config.hpp"
#include "support/scratch.hpp"

namespace vx::testing {

using TemporaryFolder = ScratchFolder;

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
