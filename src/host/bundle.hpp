#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace vx::host {

// A program's bundle: a folder holding "Contents/Info.plist" (an XML property list with the
// bundle's identifier and build version, written by the build) and, when the program was
// signed for push, "Contents/embedded.provisionprofile". The running program's bundle sits
// beside its executable, named after it: "<executable>.bundle".
class Bundle {
 public:
  explicit Bundle(std::filesystem::path location);
  Bundle(const Bundle&) = delete;
  Bundle& operator=(const Bundle&) = delete;

  // The running program's bundle. Holders keep theirs valid even after `useLocation`.
  [[nodiscard]] static std::shared_ptr<const Bundle> main();

  // Makes `main()` answer the bundle at `location` from now on, its identifier read afresh
  // (for tests, and for a program whose bundle lies elsewhere).
  static void useLocation(std::filesystem::path location);
  // Makes `main()` answer the bundle beside the executable again.
  static void useDefaultLocation();

  [[nodiscard]] const std::filesystem::path& location() const { return location_; }

  // A file inside the bundle's "Contents" folder.
  [[nodiscard]] std::filesystem::path contentsFile(std::string_view name) const;
  [[nodiscard]] std::filesystem::path infoPlist() const { return contentsFile("Info.plist"); }

  // "CFBundleIdentifier" of the Info.plist, read at the first call and kept for the life of
  // this object; nothing when the file or the key is missing.
  [[nodiscard]] const std::optional<std::string>& identifier() const;

  // A string value of the Info.plist as it is on disk now.
  [[nodiscard]] std::optional<std::string> infoString(std::string_view key) const;

 private:
  std::filesystem::path location_;
  mutable std::once_flag identifierOnce_;
  mutable std::optional<std::string> identifier_;
};

// "<executable>.bundle" for the running executable; empty when the executable's path cannot be
// found.
[[nodiscard]] std::filesystem::path defaultBundleLocation();

// The string value stored under `key` in the top-level dictionary of an XML property list.
// Nothing when the file cannot be read, is not a well-formed property list with a dictionary at
// its top, lacks the key, or holds something other than a string under it.
[[nodiscard]] std::optional<std::string> plistString(const std::filesystem::path& file,
                                                     std::string_view key);
[[nodiscard]] std::optional<std::string> plistStringIn(std::string_view document,
                                                       std::string_view key);

}  // namespace vx::host
