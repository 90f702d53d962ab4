// The store's writer when the system calls it makes fail in ways the kernel will not produce on
// demand: the previous file must survive and no temporary may be left.

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/clock.hpp"
#include "store/atomic_write.hpp"
#include "store/file_io.hpp"
#include "store/stale_temporaries.hpp"
#include "store/system_calls.hpp"
#include "support/scratch.hpp"

namespace vx::store {
namespace {

using vx::testing::namesIn;
using vx::testing::ScratchFolder;

bool isDirectory(int fd) {
  struct stat status {};
  return ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
}

// Puts the system's own calls back when the test ends.
class SystemCallFaults : public ::testing::Test {
 protected:
  ~SystemCallFaults() override { systemCalls() = realSystemCalls(); }

  void writePrevious() { ASSERT_EQ(writeAtomically(target_, "previous", 0600), std::nullopt); }
  [[nodiscard]] std::string content() const {
    return readWholeFile(target_).value_or("<unreadable>");
  }
  [[nodiscard]] std::vector<std::string> strays() const {
    return namesIn(folder_.path(), "session.json");
  }

  ScratchFolder folder_;
  std::filesystem::path target_ = folder_.path() / "session.json";
};

struct Fault {
  const char* step;
  int code;
  std::function<void(SystemCalls&)> install;
};

std::vector<Fault> faultsBeforeTheRename() {
  return {
      {"mode", EPERM,
       [](SystemCalls& calls) { calls.fchmod = [](int, mode_t) { return errno = EPERM, -1; }; }},
      {"write", EIO,
       [](SystemCalls& calls) {
         calls.write = [](int, const void*, size_t) -> ssize_t { return errno = EIO, -1; };
       }},
      {"write accepting nothing", ENOSPC,
       [](SystemCalls& calls) {
         calls.write = [](int, const void*, size_t) -> ssize_t { return 0; };
       }},
      {"flushing the file", EIO,
       [](SystemCalls& calls) {
         calls.fsync = [](int fd) { return isDirectory(fd) ? ::fsync(fd) : (errno = EIO, -1); };
       }},
      {"naming the file", EMLINK,
       [](SystemCalls& calls) {
         calls.linkFromDescriptorPath = [](const char*, const char*) { return errno = EMLINK, -1; };
       }},
      {"closing the file", EIO,
       [](SystemCalls& calls) {
         calls.close = [](int fd) {
           if (isDirectory(fd)) return ::close(fd);
           ::close(fd);  // released whatever close reports, as on Linux
           return errno = EIO, -1;
         };
       }},
      {"renaming", EXDEV,
       [](SystemCalls& calls) {
         calls.rename = [](const char*, const char*) { return errno = EXDEV, -1; };
       }},
  };
}

TEST_F(SystemCallFaults, EachFailureBeforeTheRenameKeepsThePreviousFileAndNoTemporary) {
  for (bool unnamedFiles : {true, false}) {
    for (const Fault& fault : faultsBeforeTheRename()) {
      // A temporary that has a name from the start is never linked in.
      if (!unnamedFiles && std::string(fault.step) == "naming the file") continue;
      SCOPED_TRACE(std::string(fault.step) + (unnamedFiles ? "" : ", named temporaries"));
      systemCalls() = realSystemCalls();
      writePrevious();
      if (!unnamedFiles) {
        systemCalls().open = [](const char* path, int flags, mode_t mode) {
          if ((flags & O_TMPFILE) == O_TMPFILE) return errno = EOPNOTSUPP, -1;
          return ::open(path, flags, mode);
        };
      }
      fault.install(systemCalls());
      auto failure = writeAtomically(target_, "replacement", 0600);
      ASSERT_TRUE(failure.has_value());
      EXPECT_EQ(failure->code, fault.code) << failure->description();
      EXPECT_NE(failure->description().find(folder_.path().string()), std::string::npos);
      systemCalls() = realSystemCalls();
      EXPECT_EQ(content(), "previous");
      EXPECT_EQ(strays(), std::vector<std::string>{});
    }
  }
}

TEST_F(SystemCallFaults, AFailedFolderFlushIsReportedWithTheNewFileInPlace) {
  writePrevious();
  systemCalls().fsync = [](int fd) { return isDirectory(fd) ? (errno = EIO, -1) : ::fsync(fd); };
  auto failure = writeAtomically(target_, "replacement", 0600);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->description(),
            "cannot flush folder " + folder_.path().string() + " to disk: Input/output error");
  EXPECT_EQ(content(), "replacement");
  EXPECT_EQ(strays(), std::vector<std::string>{});
}

// A file written without flushing never asks the disk: a disk that cannot flush does not fail
// the write, which still replaces the file in one step.
TEST_F(SystemCallFaults, AnUnflushedWriteReplacesWithoutFlushing) {
  writePrevious();
  systemCalls().fsync = [](int) { return errno = EIO, -1; };
  EXPECT_EQ(writeAtomically(target_, "replacement", 0600, Flush::none), std::nullopt);
  systemCalls() = realSystemCalls();
  EXPECT_EQ(content(), "replacement");
  EXPECT_EQ(strays(), std::vector<std::string>{});
}

TEST_F(SystemCallFaults, ShortAndInterruptedWritesStillWriteEveryByte) {
  int calls = 0;
  systemCalls().write = [&calls](int fd, const void* bytes, size_t count) -> ssize_t {
    if (++calls % 3 == 0) return errno = EINTR, -1;
    return ::write(fd, bytes, std::min<size_t>(count, 7));
  };
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += std::to_string(i) + ",";
  ASSERT_EQ(writeAtomically(target_, bytes, 0600), std::nullopt);
  systemCalls() = realSystemCalls();
  EXPECT_EQ(content(), bytes);
  EXPECT_GT(calls, 500);
}

TEST_F(SystemCallFaults, TheFolderHoldsNoTemporaryWhileTheContentIsWritten) {
  writePrevious();
  std::vector<std::string> seen;
  systemCalls().write = [&](int fd, const void* bytes, size_t count) -> ssize_t {
    for (const auto& name : strays()) seen.push_back(name);
    return ::write(fd, bytes, count);
  };
  ASSERT_EQ(writeAtomically(target_, "replacement", 0600), std::nullopt);
  EXPECT_EQ(seen, std::vector<std::string>{}) << "a writer killed now would leave these behind";
}

TEST_F(SystemCallFaults, WithoutUnnamedFilesANamedTemporaryReplacesTheTarget) {
  writePrevious();
  systemCalls().open = [](const char* path, int flags, mode_t mode) {
    if ((flags & O_TMPFILE) == O_TMPFILE) return errno = EISDIR, -1;
    return ::open(path, flags, mode);
  };
  ASSERT_EQ(writeAtomically(target_, "replacement", 0644), std::nullopt);
  EXPECT_EQ(content(), "replacement");
  EXPECT_EQ(strays(), std::vector<std::string>{});
}

class StaleTemporaries : public ::testing::Test {
 protected:
  ~StaleTemporaries() override { clock::unpin(); }

  // A file named `name` beside the target, last modified at `at`.
  void leave(const std::string& name, Time at) {
    auto path = folder_.path() / name;
    ASSERT_EQ(writeAtomically(path, "left behind", 0600), std::nullopt);
    auto since = at.time_since_epoch();
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    timespec times[2] = {{seconds.count(), 0}, {seconds.count(), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  }

  ScratchFolder folder_;
  std::filesystem::path target_ = folder_.path() / "snapshot.json";
};

TEST_F(StaleTemporaries, OnlyTheTargetsOwnOldTemporariesAreRemoved) {
  const Time left = Time(std::chrono::seconds(1700000000));
  leave(".snapshot.json.a1B2c3", left);   // the target's, old
  leave(".snapshot.json.Zz9Yy8", left);   // the target's, old
  leave(".session.json.a1B2c3", left);    // another target's
  leave(".snapshot.json.abc", left);      // not a temporary's name
  leave(".snapshot.json.a1B2c3d", left);  // not a temporary's name
  leave(".snapshot.json.a1-2c3", left);   // not a temporary's name
  leave("snapshot.json.a1B2c3", left);    // not hidden
  std::filesystem::create_directory(folder_.path() / ".snapshot.json.Dir000");

  clock::pin(left + kStaleAfter);
  ASSERT_EQ(writeAtomically(target_, "{}", 0600), std::nullopt);
  EXPECT_TRUE(std::filesystem::exists(folder_.path() / ".snapshot.json.a1B2c3"))
      << "a temporary exactly as old as the limit may still be in use";

  clock::pin(left + kStaleAfter + std::chrono::seconds(1));
  ASSERT_EQ(writeAtomically(target_, "{}", 0600), std::nullopt);
  auto remaining = namesIn(folder_.path(), "snapshot.json");
  std::sort(remaining.begin(), remaining.end());
  EXPECT_EQ(remaining, (std::vector<std::string>{".session.json.a1B2c3", ".snapshot.json.Dir000",
                                                 ".snapshot.json.a1-2c3", ".snapshot.json.a1B2c3d",
                                                 ".snapshot.json.abc", "snapshot.json.a1B2c3"}));
}

}  // namespace
}  // namespace vx::store
