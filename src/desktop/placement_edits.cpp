#include "desktop/placement_edits.hpp"

#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "desktop/private_folder.hpp"

namespace vx::desktop {
namespace {

// Another editor holds the lock only while it reads and writes one small file.
constexpr auto kLongestWait = std::chrono::seconds(5);
constexpr auto kRetryEvery = std::chrono::milliseconds(20);

// An advisory lock on "<file>.lock", held while the object lives. A folder the user made
// read-only cannot hold the lock file: then nothing can be saved there either, and the save
// reports that with its own error.
class EditLock {
 public:
  explicit EditLock(const std::filesystem::path& file) {
    const std::filesystem::path lock = file.string() + ".lock";
    fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd_ < 0) {
      if (errno == EACCES || errno == EROFS) return;
      throw std::runtime_error("placements file: cannot open " + lock.string());
    }
    struct stat status {};
    if (::fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode)) {
      ::close(fd_);
      throw std::runtime_error("placements file: " + lock.string() + " is not a plain file");
    }
    const auto until = std::chrono::steady_clock::now() + kLongestWait;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK && errno != EINTR) {
        ::close(fd_);
        throw std::runtime_error("placements file: cannot lock " + lock.string());
      }
      if (std::chrono::steady_clock::now() >= until) {
        ::close(fd_);
        throw std::runtime_error("placements file: another program keeps " + file.string() +
                                 " locked");
      }
      std::this_thread::sleep_for(kRetryEvery);
    }
  }
  ~EditLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  EditLock(const EditLock&) = delete;
  EditLock& operator=(const EditLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace

Placements updatePlacements(const std::filesystem::path& file,
                            const std::function<void(Placements&)>& change) {
  try {
    makePrivateFolder(file.parent_path());
  } catch (const std::runtime_error& error) {
    throw std::runtime_error(std::string("placements file: ") + error.what());
  }
  const EditLock lock(file);
  Placements placements = loadPlacements(file);
  change(placements);
  savePlacements(file, placements);
  return placements;
}

}  // namespace vx::desktop
