#include "store/atomic_write.hpp"

#include <cerrno>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "store/file_descriptor.hpp"
#include "store/file_io.hpp"

namespace vx::store {
namespace {

// A temporary file that is removed unless it has been renamed into place.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    descriptor_ = FileDescriptor();
    if (!path_.empty() && !kept_) removeFile(path_);
  }

  // Creates "<folder>/.<name>.XXXXXX" with a unique suffix, mode 0600, opened for writing.
  std::optional<SystemError> create(const std::filesystem::path& target) {
    std::string pattern =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
      return SystemError{errno, "cannot create a temporary file in " + folderOf(target)};
    }
    descriptor_ = FileDescriptor(fd);
    path_ = pattern;
    return std::nullopt;
  }

  [[nodiscard]] int fd() const { return descriptor_.get(); }
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  [[nodiscard]] int close() { return descriptor_.close(); }
  void keep() { kept_ = true; }

  static std::string folderOf(const std::filesystem::path& target) {
    auto folder = target.parent_path();
    return folder.empty() ? std::string(".") : folder.string();
  }

 private:
  FileDescriptor descriptor_;
  std::filesystem::path path_;
  bool kept_ = false;
};

std::optional<SystemError> syncFolder(const std::filesystem::path& target) {
  std::string folder = TemporaryFile::folderOf(target);
  FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!directory.valid()) return SystemError{errno, "cannot open folder " + folder};
  if (::fsync(directory.get()) != 0) {
    return SystemError{errno, "cannot flush folder " + folder + " to disk"};
  }
  return std::nullopt;
}

}  // namespace

std::optional<SystemError> writeAtomically(const std::filesystem::path& target,
                                           std::string_view bytes, mode_t mode) {
  const std::string name = target.string();
  TemporaryFile temporary;
  if (auto failure = temporary.create(target)) return failure;
  if ((mode & 07777) != 0600 && ::fchmod(temporary.fd(), mode) != 0) {
    return SystemError{errno, "cannot set the mode of a temporary file for " + name};
  }
  if (auto failure = writeAll(temporary.fd(), bytes, "a temporary file for " + name)) {
    return failure;
  }
  if (::fsync(temporary.fd()) != 0) {
    return SystemError{errno, "cannot flush a temporary file for " + name + " to disk"};
  }
  if (int error = temporary.close(); error != 0) {
    return SystemError{error, "cannot close a temporary file for " + name};
  }
  if (::rename(temporary.path().c_str(), target.c_str()) != 0) {
    return SystemError{errno, "cannot replace " + name};
  }
  temporary.keep();
  return syncFolder(target);
}

}  // namespace vx::store
