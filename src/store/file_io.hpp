#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "store/system_error.hpp"

namespace vx::store {

// The whole content of a regular file; nothing when it cannot be opened or read, or when a
// symbolic link stands at `path` (never followed: in a folder others could once write to, it
// may lead to any file this user can read).
[[nodiscard]] std::optional<std::string> readWholeFile(const std::filesystem::path& path);

// When the regular file at `path` was last modified; nothing when there is none, a symbolic
// link (not followed) or anything else but a regular file standing there.
[[nodiscard]] std::optional<std::chrono::system_clock::time_point> regularFileModified(
    const std::filesystem::path& path);

// What tells one version of a file from another without reading it: a replaced file has another
// inode, and a file written in place another size or modification or change time (to the
// file system's resolution).
struct FileVersion {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t modifiedNs = 0;
  std::int64_t changedNs = 0;

  bool operator==(const FileVersion&) const = default;
};

// The version of the file open at `fd`; nothing when it cannot be looked at.
[[nodiscard]] std::optional<FileVersion> versionOf(int fd);

// The whole of an open descriptor's input until end of file, however long.
[[nodiscard]] std::optional<std::string> readToEnd(int fd);

// Writes every byte, resuming after short writes and interruptions. Nothing on success;
// otherwise the failure, described with `what`.
[[nodiscard]] std::optional<SystemError> writeAll(int fd, std::string_view bytes,
                                                  const std::string& what);

// Flushes the regular file at `path` to disk (a symbolic link there is not followed). Nothing on
// success; otherwise the failure.
[[nodiscard]] std::optional<SystemError> flushFile(const std::filesystem::path& path);

// Removes a file; a missing file or a failed removal is ignored.
void removeFile(const std::filesystem::path& path) noexcept;

}  // namespace vx::store
