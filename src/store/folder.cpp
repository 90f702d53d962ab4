#include "store/folder.hpp"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx::store {
namespace {

std::optional<std::filesystem::path> absoluteFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return std::nullopt;
  return std::filesystem::path(value);
}

std::optional<std::filesystem::path> homeFromUserDatabase() {
  long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
    buffer.resize(buffer.size() * 2);
  }
  if (found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') return std::nullopt;
  return std::filesystem::path(found->pw_dir);
}

bool pathExists(const std::filesystem::path& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0;
}

// The folder holds the session's token: nobody else may list, read or replace what is in it.
// Access for others is taken away; the owner's own bits stay as they are.
bool keptPrivate(const std::filesystem::path& folder, const struct stat& status) {
  if (status.st_uid != ::geteuid()) return false;
  if ((status.st_mode & (S_IRWXG | S_IRWXO)) == 0) return true;
  return ::chmod(folder.c_str(), status.st_mode & S_IRWXU) == 0;
}

// A directory of this user's own, private to them, that this process may look up names in.
// Whether it may also write there is left to each write: a folder the user made read-only
// still lets the widgets read the session, and deletions and writes then fail on their own,
// with their own error.
bool usable(const std::filesystem::path& folder) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return false;
  return keptPrivate(folder, status) && ::access(folder.c_str(), X_OK) == 0;
}

// mkdir that counts "someone else just made it" as success.
bool makeDirectory(const std::filesystem::path& path) {
  return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

bool createParents(const std::filesystem::path& folder) {
  std::filesystem::path prefix;
  for (const auto& component : folder.parent_path()) {
    prefix /= component;
    if (!pathExists(prefix) && !makeDirectory(prefix)) return false;
  }
  return true;
}

}  // namespace

std::optional<std::filesystem::path> dataHome() {
  if (auto xdg = absoluteFromEnvironment("XDG_DATA_HOME")) return xdg;
  auto home = absoluteFromEnvironment("HOME");
  if (!home) home = homeFromUserDatabase();
  if (!home) return std::nullopt;
  return *home / ".local" / "share";
}

bool ensureFolder(const std::filesystem::path& folder) {
  if (!pathExists(folder)) {
    if (!createParents(folder)) return false;
    if (::mkdir(folder.c_str(), 0700) == 0) {
      // The umask may have taken bits away; the folder is the owner's alone, and fully so.
      (void)::chmod(folder.c_str(), 0700);
    } else if (errno != EEXIST) {
      return false;
    }
  }
  return usable(folder);
}

}  // namespace vx::store
