#include "store/shared_store.hpp"

#include <string>

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

std::optional<Snapshot> snapshot() {
  auto bytes = readFile(kSnapshotFile);
  if (!bytes) return std::nullopt;
  return decodeSnapshot(*bytes);
}

std::optional<PushRegistration> pushRegistration() {
  auto bytes = readFile(kPushFile);
  if (!bytes) return std::nullopt;
  return decodePushRegistration(*bytes);
}

}  // namespace vx::SharedStore
