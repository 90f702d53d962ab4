#include "store/shared_store.hpp"

#include <memory>
#include <mutex>
#include <string>

#include "base/file_descriptor.hpp"

#include "model/snapshot_json.hpp"
#include "store/atomic_write.hpp"
#include "store/file_io.hpp"

namespace vx::SharedStore {
namespace {

// The store's files hold the user's data; only the owner reads them.
constexpr mode_t kFileMode = 0600;

std::optional<std::filesystem::path> fileInFolder(const char* name) {
  auto shared = folder();
  if (!shared) return std::nullopt;
  return *shared / name;
}

std::optional<std::string> readFile(const char* name) {
  auto path = fileInFolder(name);
  if (!path) return std::nullopt;
  return store::readWholeFile(*path);
}

// A failed write is ignored: the previous file stays.
void replaceFile(const std::filesystem::path& path, const std::string& bytes) {
  (void)store::writeAtomically(path, bytes, kFileMode);
}

void deleteFile(const char* name) {
  if (auto path = fileInFolder(name)) store::removeFile(*path);
}

}  // namespace

void save(const Snapshot& snapshot) {
  // Locate the folder first, then encode: an unencodable snapshot writes nothing.
  auto path = fileInFolder(kSnapshotFile);
  if (!path) return;
  auto bytes = encodeSnapshot(snapshot);
  if (!bytes) return;
  replaceFile(*path, *bytes);
}

void forgetSnapshot() {
  deleteFile(kSnapshotFile);
}

void savePushRegistration(const std::optional<PushRegistration>& registration) {
  if (!registration) {
    deleteFile(kPushFile);
    return;
  }
  auto path = fileInFolder(kPushFile);
  if (!path) return;
  auto bytes = encodePushRegistration(*registration);
  if (!bytes) return;
  replaceFile(*path, *bytes);
}

std::optional<SharedSession> session() {
  auto bytes = readFile(kSessionFile);
  if (!bytes) return std::nullopt;
  return decodeSharedSession(*bytes);
}

std::shared_ptr<const Snapshot> sharedSnapshot() {
  // The last file decoded in this process, by version. Every widget request reads the snapshot,
  // and decoding a large one costs milliseconds and megabytes each time.
  static std::mutex mutex;
  static std::filesystem::path lastPath;
  static std::optional<store::FileVersion> lastVersion;
  static std::shared_ptr<const Snapshot> lastDecoded;

  auto path = fileInFolder(kSnapshotFile);
  if (!path) return nullptr;
  const base::FileDescriptor file = base::openRegularFile(path->c_str());
  if (!file.valid()) return nullptr;
  const std::optional<store::FileVersion> version = store::versionOf(file.get());
  if (version) {
    const std::lock_guard lock(mutex);
    if (lastPath == *path && lastVersion == version) return lastDecoded;
  }
  auto bytes = store::readToEnd(file.get());
  if (!bytes) return nullptr;
  auto decoded = decodeSnapshot(*bytes);
  std::shared_ptr<const Snapshot> shared =
      decoded ? std::make_shared<const Snapshot>(std::move(*decoded)) : nullptr;
  if (version) {
    // Read after the version was taken: should the file have changed in place meanwhile, its
    // version differs from the one kept, and the next call reads it again.
    const std::lock_guard lock(mutex);
    lastPath = *path;
    lastVersion = version;
    lastDecoded = shared;
  }
  return shared;
}

std::optional<Snapshot> snapshot() {
  auto shared = sharedSnapshot();
  if (!shared) return std::nullopt;
  return *shared;
}

std::optional<PushRegistration> pushRegistration() {
  auto bytes = readFile(kPushFile);
  if (!bytes) return std::nullopt;
  return decodePushRegistration(*bytes);
}

}  // namespace vx::SharedStore
