#pragma once

#include <string>

namespace vx::base {

// The name under /proc/self/fd that stands for the open descriptor `fd`. Calls given it act on
// the very file the descriptor holds (following it does not look the original path up again),
// even one that has no name, or whose name now leads elsewhere.
[[nodiscard]] std::string descriptorPath(int fd);

// Owns one open file descriptor (a file, a pipe's end, a socket) and closes it when destroyed,
// or when another is moved in. Move-only; a moved-from or default one holds none (-1).
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor();

  [[nodiscard]] int get() const { return fd_; }
  [[nodiscard]] bool valid() const { return fd_ >= 0; }

  // Gives up ownership without closing.
  [[nodiscard]] int release() noexcept;

  // Closes now and reports the outcome: 0, or the error number close gave (which may be a
  // deferred write error). The descriptor is released either way.
  [[nodiscard]] int close() noexcept;

 private:
  int fd_ = -1;
};

// The regular file at `path`, open for reading; none (not valid) when there is nothing there
// or something else: a directory, a device, a FIFO (opened without blocking, so one put where a
// file is expected cannot hold the reader up), or a symbolic link (never followed).
[[nodiscard]] FileDescriptor openRegularFile(const char* path);

}  // namespace vx::base
