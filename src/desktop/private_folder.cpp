#include "desktop/private_folder.hpp"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <sys/stat.h>

namespace vx::desktop {

void makePrivateFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return;
  const auto parent = folder.parent_path();
  if (!parent.empty() && parent != folder) std::filesystem::create_directories(parent, error);
  if (error || (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)) {
    const std::string reason = error ? error.message() : std::strerror(errno);
    throw std::runtime_error("cannot create " + folder.string() + ": " + reason);
  }
}

}  // namespace vx::desktop
