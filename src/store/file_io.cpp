#include "store/file_io.hpp"

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

#include "base/file_descriptor.hpp"
#include "store/system_calls.hpp"

namespace vx::store {

namespace {

std::int64_t nanoseconds(const timespec& at) {
  return static_cast<std::int64_t>(at.tv_sec) * 1'000'000'000 + at.tv_nsec;
}

}  // namespace

std::optional<FileVersion> versionOf(int fd) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) return std::nullopt;
  return FileVersion{status.st_dev, status.st_ino, status.st_size, nanoseconds(status.st_mtim),
                     nanoseconds(status.st_ctim)};
}

std::optional<std::string> readToEnd(int fd) {
  std::string content;
  char buffer[64 * 1024];
  for (;;) {
    ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return std::nullopt;
    if (count == 0) return content;
    content.append(buffer, static_cast<std::size_t>(count));
  }
}

std::optional<std::string> readWholeFile(const std::filesystem::path& path) {
  const base::FileDescriptor file = base::openRegularFile(path.c_str());
  if (!file.valid()) return std::nullopt;
  return readToEnd(file.get());
}

std::optional<SystemError> flushFile(const std::filesystem::path& path) {
  const base::FileDescriptor file = base::openRegularFile(path.c_str());
  if (!file.valid()) return SystemError{errno, "cannot open " + path.string()};
  if (systemCalls().fsync(file.get()) != 0) {
    return SystemError{errno, "cannot flush " + path.string() + " to disk"};
  }
  return std::nullopt;
}

std::optional<std::chrono::system_clock::time_point> regularFileModified(
    const std::filesystem::path& path) {
  struct stat status {};
  if (systemCalls().lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return std::nullopt;
  }
  return std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(
          std::chrono::seconds(status.st_mtim.tv_sec) +
          std::chrono::nanoseconds(status.st_mtim.tv_nsec)));
}

std::optional<SystemError> writeAll(int fd, std::string_view bytes, const std::string& what) {
  while (!bytes.empty()) {
    ssize_t count = systemCalls().write(fd, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return SystemError{errno, "cannot write " + what};
    // A write that accepts nothing and reports no error would loop forever; call it full.
    if (count == 0) return SystemError{ENOSPC, "cannot write " + what};
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return std::nullopt;
}

void removeFile(const std::filesystem::path& path) noexcept {
  (void)systemCalls().unlink(path.c_str());
}

}  // namespace vx::store
