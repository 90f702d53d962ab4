// keyferry: hands the signed-in session to the widgets ("save", the session document on
// standard input) or withdraws it ("forget"). Prints nothing on success and never anything on
// standard output.

#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

#include "store/atomic_write.hpp"
#include "store/file_io.hpp"
#include "store/shared_folder.hpp"

namespace {

constexpr std::string_view kFolderMessage =
    "No App Group folder: is this build signed with the entitlement?\n";
constexpr std::string_view kUsageMessage = "usage: keyferry save|forget\n";

// Owner read and write only.
constexpr mode_t kSessionMode = 0600;

void writeError(std::string_view text) {
  (void)vx::store::writeAll(STDERR_FILENO, text, "standard error");
}

int fail(const vx::store::SystemError& failure) {
  writeError(failure.description() + "\n");
  return 1;
}

int save(const std::filesystem::path& sessionFile) {
  // 1. Everything up to end of file, however long. A failed read stores nothing: a truncated
  //    session must not replace a good one.
  auto bytes = vx::store::readToEnd(STDIN_FILENO);
  if (!bytes) return fail({errno, "cannot read standard input"});
  // 2. The temporary file is created readable by the owner only, so the token is never open to
  //    others, not even before the mode is set below.
  if (auto failure = vx::store::writeAtomically(sessionFile, *bytes, kSessionMode)) {
    return fail(*failure);
  }
  // 3. Exactly the owner-only mode, whatever the umask took away.
  if (::chmod(sessionFile.c_str(), kSessionMode) != 0) {
    return fail({errno, "cannot set the mode of " + sessionFile.string()});
  }
  return 0;
}

int forget(const std::filesystem::path& folder, const std::filesystem::path& sessionFile) {
  vx::store::removeFile(sessionFile);
  vx::store::removeFile(folder / vx::SharedStore::kSnapshotFile);
  return 0;
}

int usage() {
  writeError(kUsageMessage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  auto folder = vx::SharedStore::folder();
  if (!folder) {
    writeError(kFolderMessage);
    return 1;
  }
  auto sessionFile = *folder / vx::SharedStore::kSessionFile;
  if (argc < 2) return usage();
  std::string_view command = argv[1];
  if (command == "save") return save(sessionFile);
  if (command == "forget") return forget(*folder, sessionFile);
  return usage();
}
