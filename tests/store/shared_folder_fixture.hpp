#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "config/build_config.hpp"
#include "support/scratch.hpp"

namespace vx::testing {

// Every test of the store runs against a data home inside its own temporary folder.
class SharedFolderTest : public ::testing::Test {
 protected:
  [[nodiscard]] std::filesystem::path dataHome() const { return temporary_.path() / "data"; }
  [[nodiscard]] std::filesystem::path expectedFolder() const {
    return dataHome() / (std::string("Q7MZ2K4XB9.") + config::kAppBundleId);
  }

  ScratchFolder temporary_;
  ScopedEnvironment home_{"HOME", temporary_.path().string()};
  ScopedEnvironment xdg_{"XDG_DATA_HOME", dataHome().string()};
};

}  // namespace vx::testing
