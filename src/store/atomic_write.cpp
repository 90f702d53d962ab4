#include "store/atomic_write.hpp"

#include <cerrno>
#include <random>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>

#include "base/file_descriptor.hpp"
#include "store/file_io.hpp"
#include "store/stale_temporaries.hpp"
#include "store/system_calls.hpp"

namespace vx::store {
namespace {

std::string folderOf(const std::filesystem::path& target) {
  auto folder = target.parent_path();
  return folder.empty() ? std::string(".") : folder.string();
}

// Six letters or digits, as mkostemp would pick them.
std::string randomSuffix() {
  static constexpr char kAlphabet[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937_64 generator{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
  std::string suffix;
  for (int i = 0; i < 6; ++i) suffix.push_back(kAlphabet[pick(generator)]);
  return suffix;
}

// Where the file system cannot hold a file without a name, the temporary is named from the
// start.
bool unnamedFilesUnsupported(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// The file a write goes to until it replaces the target. Where the file system allows, it has
// no name while it is written, so a writer killed half-way leaves nothing in the folder; it
// is linked in under a temporary name only once complete, and renamed over the target at
// once. Closed, and its temporary name removed, unless it was moved into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::filesystem::path& target) : target_(target) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    (void)descriptor_.close();
    if (!path_.empty() && !kept_) (void)systemCalls().unlink(path_.c_str());
  }

  std::optional<SystemError> create() {
    const std::string folder = folderOf(target_);
    int fd = systemCalls().open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0 && unnamedFilesUnsupported(errno)) return createNamed();
    if (fd < 0) return SystemError{errno, "cannot create a temporary file in " + folder};
    descriptor_ = base::FileDescriptor(fd);
    return std::nullopt;
  }

  // Gives the complete file its temporary name, when it has none yet.
  std::optional<SystemError> name() {
    if (!path_.empty()) return std::nullopt;
    const std::string source = base::descriptorPath(descriptor_.get());
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string candidate =
          (target_.parent_path() / (temporaryPrefix(target_) + randomSuffix())).string();
      if (systemCalls().linkFromDescriptorPath(source.c_str(), candidate.c_str()) == 0) {
        path_ = candidate;
        return std::nullopt;
      }
      if (errno != EEXIST) break;
    }
    return SystemError{errno, "cannot name a temporary file for " + target_.string()};
  }

  [[nodiscard]] int fd() const { return descriptor_.get(); }
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  // The one close whose outcome counts (a deferred write error), so it goes through the seam.
  [[nodiscard]] int close() { return systemCalls().close(descriptor_.release()) == 0 ? 0 : errno; }
  void keep() { kept_ = true; }

 private:
  std::optional<SystemError> createNamed() {
    std::string pattern = (target_.parent_path() / (temporaryPrefix(target_) + "XXXXXX")).string();
    int fd = systemCalls().mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
      return SystemError{errno, "cannot create a temporary file in " + folderOf(target_)};
    }
    descriptor_ = base::FileDescriptor(fd);
    path_ = pattern;
    return std::nullopt;
  }

  std::filesystem::path target_;
  base::FileDescriptor descriptor_;
  std::filesystem::path path_;
  bool kept_ = false;
};

std::optional<SystemError> syncFolder(const std::filesystem::path& target) {
  std::string folder = folderOf(target);
  base::FileDescriptor directory(
      systemCalls().open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  if (!directory.valid()) return SystemError{errno, "cannot open folder " + folder};
  if (systemCalls().fsync(directory.get()) != 0) {
    return SystemError{errno, "cannot flush folder " + folder + " to disk"};
  }
  return std::nullopt;
}

}  // namespace

std::optional<SystemError> writeAtomically(const std::filesystem::path& target,
                                           std::string_view bytes, mode_t mode, Flush flush) {
  const std::string name = target.string();
  removeStaleTemporaries(target);
  TemporaryFile temporary(target);
  if (auto failure = temporary.create()) return failure;
  if (systemCalls().fchmod(temporary.fd(), mode & 07777) != 0) {
    return SystemError{errno, "cannot set the mode of a temporary file for " + name};
  }
  if (auto failure = writeAll(temporary.fd(), bytes, "a temporary file for " + name)) {
    return failure;
  }
  if (flush == Flush::toDisk && systemCalls().fsync(temporary.fd()) != 0) {
    return SystemError{errno, "cannot flush a temporary file for " + name + " to disk"};
  }
  if (auto failure = temporary.name()) return failure;
  if (int error = temporary.close(); error != 0) {
    return SystemError{error, "cannot close a temporary file for " + name};
  }
  if (systemCalls().rename(temporary.path().c_str(), target.c_str()) != 0) {
    return SystemError{errno, "cannot replace " + name};
  }
  temporary.keep();
  if (flush == Flush::none) return std::nullopt;
  return syncFolder(target);
}

}  // namespace vx::store
