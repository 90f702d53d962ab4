#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "config/build_config.hpp"
#include "host/bundle.hpp"
#include "host/host_platform.hpp"
#include "store/shared_store.hpp"
#include "support/fake_service.hpp"
#include "support/scratch.hpp"

namespace vx::testing {

// Every reporter test runs with its own shared folder (under a temporary data home), its own
// bundle carrying the extension's identifier, a host on the push-capable platform without a
// current token, a fake service, and a session pointing at that fake.
class PushTest : public ::testing::Test {
 protected:
  static constexpr const char* kSessionToken = "session-token-1";

  void SetUp() override {
    host::Bundle::useLocation(scratch_.path() / "vantorix-widgets.bundle");
    writeFile(host::Bundle::main()->infoPlist(), bundleInfoPlist(config::kExtensionBundleId, "1"));
    host::platform::setVersion(host::platform::kDefaultVersion);
    host::platform::setCurrentPushToken(std::nullopt);
    signIn(fake_.baseUrl(), kSessionToken);
  }

  void TearDown() override {
    host::Bundle::useDefaultLocation();
    host::platform::setVersion(host::platform::kDefaultVersion);
    host::platform::setCurrentPushToken(std::nullopt);
  }

  [[nodiscard]] static std::filesystem::path sharedFolder() {
    auto folder = SharedStore::folder();
    if (!folder) throw std::runtime_error("no shared folder");
    return *folder;
  }

  // Writes "session.json" as the desktop application's tool does.
  static void signIn(const std::string& api, const std::string& token) {
    writeFile(sharedFolder() / SharedStore::kSessionFile,
              nlohmann::json{{"api", api}, {"token", token}}.dump());
  }

  static void signOut() { std::filesystem::remove(sharedFolder() / SharedStore::kSessionFile); }

  static void record(const std::string& token, std::optional<std::string> reportedWith) {
    SharedStore::savePushRegistration(SharedStore::PushRegistration{token, reportedWith});
  }

  [[nodiscard]] static bool pushFileExists() {
    return std::filesystem::exists(sharedFolder() / SharedStore::kPushFile);
  }

  ScratchFolder scratch_;
  ScopedEnvironment dataHome_{"XDG_DATA_HOME", (scratch_.path() / "data").string()};
  FakeService fake_;
};

}  // namespace vx::testing
