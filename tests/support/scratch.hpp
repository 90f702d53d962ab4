#pragma once

// Small helpers every test that touches files or the environment uses.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

namespace vx::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vx-test-XXXXXX").string();
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

// Sets an environment variable (or removes it, with nothing) for one scope and puts the
// previous value back afterwards.
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
inline void writeFile(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// The whole content of `file`; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An Info.plist as the build writes it beside a program: its identifier and, unless nothing is
// given, its build version.
inline std::string bundleInfoPlist(const std::string& identifier,
                                   const std::optional<std::string>& version) {
  std::string entries = "\t<key>CFBundleIdentifier</key>\n\t<string>" + identifier + "</string>\n";
  if (version) entries += "\t<key>CFBundleVersion</key>\n\t<string>" + *version + "</string>\n";
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
         "<plist version=\"1.0\">\n<dict>\n" +
         entries + "</dict>\n</plist>\n";
}

}  // namespace vx::testing
