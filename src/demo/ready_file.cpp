#include "demo/ready_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace vx::demo {
namespace {

std::string failure(const std::string& what, const std::string& path, int error) {
  return "cannot " + what + " " + path + ": " + std::strerror(error);
}

}  // namespace

std::string writeFileAtomically(const std::string& path, const std::string& text) {
  const std::filesystem::path target(path);
  std::string pattern = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX"));
  std::vector<char> temporary(pattern.begin(), pattern.end());
  temporary.push_back('\0');
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return failure("create a file beside", path, errno);

  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  int error = written == text.size() ? 0 : errno;
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.data(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.data());
    return failure("write", path, error);
  }
  return {};
}

}  // namespace vx::demo
