#pragma once

// Small helpers every test that touches files or the environment uses.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace vx::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Sets an environment variable (or removes it, with nothing) for one scope and puts the
// previous value back afterwards.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::optional<std::string>& value);
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment();

 private:
  void set(const std::optional<std::string>& value);
  std::string name_;
  std::optional<std::string> previous_;
};

// Clears, for one scope, the proxy settings curl reads from the environment, so that a request
// to a name the test points at a loopback server goes there directly.
class WithoutProxies {
 private:
  ScopedEnvironment http_{"http_proxy", std::nullopt};
  ScopedEnvironment https_{"https_proxy", std::nullopt};
  ScopedEnvironment httpsUpper_{"HTTPS_PROXY", std::nullopt};
  ScopedEnvironment all_{"all_proxy", std::nullopt};
  ScopedEnvironment allUpper_{"ALL_PROXY", std::nullopt};
};

// Writes `bytes` to `file`, creating the folders on the way.
void writeFile(const std::filesystem::path& file, const std::string& bytes);

// The whole content of `file`; empty when it cannot be read.
[[nodiscard]] std::string readFile(const std::filesystem::path& file);

// The permission bits of `path` (0 when it cannot be looked at).
[[nodiscard]] mode_t modeOf(const std::filesystem::path& path);

// The names in `folder`, sorted, but `except`.
[[nodiscard]] std::vector<std::string> namesIn(const std::filesystem::path& folder,
                                               const std::string& except = {});

// An Info.plist as the build writes it beside a program: its identifier and, unless nothing is
// given, its build version.
[[nodiscard]] std::string bundleInfoPlist(const std::string& identifier,
                                          const std::optional<std::string>& version);

}  // namespace vx::testing
