#include "store/folder.hpp"

#include <cerrno>
#include <cstdlib>
#include <deque>
#include <string>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file_descriptor.hpp"
#include "store/system_calls.hpp"

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

// Whoever owns a symbolic link may point it anywhere, at any moment: only links of this user's
// own or of the system are followed.
bool trustedOwner(uid_t owner) {
  return owner == ::geteuid() || owner == 0;
}

// Whether `path` leads to what it names only through symbolic links of trusted owners. The path
// is walked as the kernel walks it, each link checked before it is taken, its target put in its
// place; a part that cannot be looked up, or too many links, count as untrusted.
bool onlyTrustedLinksLead(const std::filesystem::path& path) {
  constexpr int kMostLinks = 40;  // as many as the kernel follows in one lookup
  std::deque<std::filesystem::path> ahead(path.begin(), path.end());
  std::filesystem::path reached;
  int links = 0;
  while (!ahead.empty()) {
    const std::filesystem::path part = std::move(ahead.front());
    ahead.pop_front();
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      reached = reached.parent_path();
      continue;
    }
    const std::filesystem::path next = reached / part;  // the root part starts again at "/"
    struct stat status {};
    if (systemCalls().lstat(next.c_str(), &status) != 0) return false;
    if (!S_ISLNK(status.st_mode)) {
      reached = next;
      continue;
    }
    if (!trustedOwner(status.st_uid) || ++links > kMostLinks) return false;
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(next, error);
    if (error) return false;
    ahead.insert(ahead.begin(), target.begin(), target.end());
  }
  return true;
}

// The folder itself, never what a symbolic link in its place points at; nothing unless it is a
// directory. The descriptor only locates it: it holds no read access that the owner's own mode
// could refuse.
base::FileDescriptor openItself(const std::filesystem::path& folder) {
  return base::FileDescriptor(
      systemCalls().open(folder.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0));
}

// The folder holds the session's token: nobody else may list, read or replace what is in it.
// Access for others is taken away and the owner's own bits stay as they are; a folder made just
// now gets exactly 0700, whatever the umask took away. The mode is set through the descriptor's
// name (a descriptor that only locates takes no fchmod), so it reaches the folder that was
// checked, whatever its path leads to meanwhile.
bool keptPrivate(const base::FileDescriptor& folder, const struct stat& status, bool created) {
  if (status.st_uid != ::geteuid()) return false;
  if (!created && (status.st_mode & (S_IRWXG | S_IRWXO)) == 0) return true;
  const mode_t mode = created ? S_IRWXU : status.st_mode & S_IRWXU;
  return ::chmod(base::descriptorPath(folder.get()).c_str(), mode) == 0;
}

// A directory of this user's own, reached through no one else's links, private to them, that
// this process may look up names in. Whether it may also write there is left to each write: a
// folder the user made read-only still lets the widgets read the session, and deletions and
// writes then fail on their own, with their own error.
bool usable(const std::filesystem::path& folder, bool created) {
  if (!onlyTrustedLinksLead(folder)) return false;
  const base::FileDescriptor itself = openItself(folder);
  struct stat status {};
  if (!itself.valid() || ::fstat(itself.get(), &status) != 0 || !S_ISDIR(status.st_mode)) {
    return false;
  }
  return keptPrivate(itself, status, created) &&
         ::access(base::descriptorPath(itself.get()).c_str(), X_OK) == 0;
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
  bool created = false;
  if (!pathExists(folder)) {
    if (!createParents(folder)) return false;
    created = ::mkdir(folder.c_str(), 0700) == 0;
    if (!created && errno != EEXIST) return false;
  }
  return usable(folder, created);
}

}  // namespace vx::store
