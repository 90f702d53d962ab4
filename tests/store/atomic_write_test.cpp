#include "store/atomic_write.hpp"

#include <cerrno>
#include <csignal>
#include <fstream>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "store/file_io.hpp"
#include "support/scratch.hpp"

namespace vx::store {
namespace {

using vx::testing::modeOf;
using vx::testing::namesIn;
using vx::testing::ScratchFolder;

std::string contentOf(const std::filesystem::path& path) {
  return readWholeFile(path).value_or("<unreadable>");
}

// Caps the size of files this process may write, for one test. Writing past the cap fails with
// EFBIG instead of raising SIGXFSZ.
class FileSizeCap {
 public:
  explicit FileSizeCap(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit capped = previous_;
    capped.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &capped);
  }
  FileSizeCap(const FileSizeCap&) = delete;
  FileSizeCap& operator=(const FileSizeCap&) = delete;
  ~FileSizeCap() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

TEST(WriteAtomically, ReplacesTheWholeFileAndLeavesNothingElse) {
  ScratchFolder folder;
  auto target = folder.path() / "snapshot.json";
  ASSERT_EQ(writeAtomically(target, "a much longer first content", 0600), std::nullopt);
  ASSERT_EQ(writeAtomically(target, "short", 0600), std::nullopt);
  EXPECT_EQ(contentOf(target), "short");
  EXPECT_TRUE(namesIn(folder.path(), "snapshot.json").empty());
}

TEST(WriteAtomically, KeepsEveryByteOfLargeBinaryContent) {
  ScratchFolder folder;
  auto target = folder.path() / "favicon-x.png";
  std::string bytes;
  for (int i = 0; i < 3 * 1024 * 1024; ++i) bytes.push_back(static_cast<char>((i * 7) % 256));
  ASSERT_EQ(writeAtomically(target, bytes, 0600), std::nullopt);
  EXPECT_EQ(contentOf(target), bytes);
}

TEST(WriteAtomically, GivesTheRequestedModeWhateverTheUmask) {
  ScratchFolder folder;
  mode_t previousMask = ::umask(0077);
  auto shared = writeAtomically(folder.path() / "shared", "x", 0644);
  auto owned = writeAtomically(folder.path() / "owned", "x", 0600);
  ::umask(previousMask);
  ASSERT_EQ(shared, std::nullopt);
  ASSERT_EQ(owned, std::nullopt);
  EXPECT_EQ(modeOf(folder.path() / "shared"), 0644u);
  EXPECT_EQ(modeOf(folder.path() / "owned"), 0600u);
}

TEST(WriteAtomically, FailedWriteKeepsThePreviousFileAndRemovesTheTemporary) {
  ScratchFolder folder;
  auto target = folder.path() / "session.json";
  ASSERT_EQ(writeAtomically(target, "previous", 0600), std::nullopt);

  std::optional<SystemError> failure;
  {
    FileSizeCap cap(16);
    failure = writeAtomically(target, std::string(4096, 'n'), 0600);
  }
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->code, EFBIG);
  EXPECT_NE(failure->description().find(target.string()), std::string::npos);
  EXPECT_EQ(contentOf(target), "previous");
  EXPECT_TRUE(namesIn(folder.path(), "session.json").empty());
}

TEST(WriteAtomically, FailedRenameLeavesTheTargetAndNoTemporary) {
  ScratchFolder folder;
  auto target = folder.path() / "session.json";
  std::filesystem::create_directory(target);
  std::ofstream(target / "inside") << "kept";

  auto failure = writeAtomically(target, "new", 0600);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->code, EISDIR);
  EXPECT_EQ(contentOf(target / "inside"), "kept");
  EXPECT_TRUE(namesIn(folder.path(), "session.json").empty());
}

TEST(WriteAtomically, ReportsAMissingFolderWithItsName) {
  ScratchFolder folder;
  auto failure = writeAtomically(folder.path() / "gone" / "session.json", "x", 0600);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->code, ENOENT);
  EXPECT_EQ(failure->description(), "cannot create a temporary file in " +
                                        (folder.path() / "gone").string() +
                                        ": No such file or directory");
}

}  // namespace
}  // namespace vx::store
