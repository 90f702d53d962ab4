// Writers of the shared files killed with SIGKILL at random moments: afterwards each file is
// one whole version, and killed writers leave nothing that piles up in the folder. A writer
// names its temporary only in the moment between completing it and renaming it, so a kill
// there (about one in a hundred here) leaves one, which the next write removes once it is
// old. The number of kills per file is VX_CRASH_KILLS (default 30; the long run in
// bench/README.md uses more).

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <thread>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include "bulky_files.hpp"
#include "shared_folder_fixture.hpp"
#include "store/file_io.hpp"
#include "store/shared_store.hpp"
#include "support/process.hpp"

namespace vx {
namespace {

using vx::testing::bulkyRegistration;
using vx::testing::bulkySnapshot;
using vx::testing::ChildProcess;
using vx::testing::namesIn;

int killCount() {
  const char* text = std::getenv("VX_CRASH_KILLS");
  return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : 30;
}

// Starts `program` with this process's environment, its input read from `input` when given.
std::unique_ptr<ChildProcess> start(const std::vector<std::string>& command,
                                    const std::string& input = "") {
  testing::ProcessOptions options{.arguments = {command.begin() + 1, command.end()}};
  if (!input.empty()) options.inputFile = input;
  return std::make_unique<ChildProcess>(command.front(), options);
}

int waitFor(const std::unique_ptr<ChildProcess>& child) {
  return child->wait();
}

void killAfter(const std::unique_ptr<ChildProcess>& child, std::chrono::microseconds delay) {
  std::this_thread::sleep_for(delay);
  (void)child->stop(SIGKILL);
}

// Makes every file in `folder` but `keep` look an hour old, as left by a writer killed long ago.
void age(const std::filesystem::path& folder, const std::string& keep) {
  const auto hourAgo = std::chrono::duration_cast<std::chrono::seconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count() -
                       3600;
  timespec times[2] = {{hourAgo, 0}, {hourAgo, 0}};
  for (const auto& name : namesIn(folder, keep)) {
    ::utimensat(AT_FDCWD, (folder / name).c_str(), times, 0);
  }
}

class CrashSafety : public vx::testing::SharedFolderTest {
 protected:
  std::filesystem::path folder() { return *SharedStore::folder(); }

  std::mt19937 random_{20261207};
  int kills_ = killCount();
};

TEST_F(CrashSafety, KilledSnapshotWritersLeaveOneWholeSnapshotAndNoTemporaries) {
  SharedStore::save(bulkySnapshot(0));
  std::uniform_int_distribution<int> delay(0, 300'000);
  for (int kill = 0; kill < kills_; ++kill) {
    killAfter(start({VX_STORE_WRITER_PATH, "snapshot"}), std::chrono::microseconds(delay(random_)));
    auto snapshot = SharedStore::snapshot();
    ASSERT_TRUE(snapshot.has_value()) << "after kill " << kill;
    ASSERT_EQ(*snapshot, bulkySnapshot(snapshot->projects.at(0).realtimeVisitors))
        << "after kill " << kill;
  }
  EXPECT_LE(namesIn(folder(), "snapshot.json").size(), static_cast<std::size_t>(kills_ / 10));
  age(folder(), "snapshot.json");
  SharedStore::save(bulkySnapshot(1));
  EXPECT_EQ(namesIn(folder(), "snapshot.json"), std::vector<std::string>{});
}

TEST_F(CrashSafety, KilledPushWritersLeaveOneWholeRegistrationAndNoTemporaries) {
  SharedStore::savePushRegistration(bulkyRegistration(0));
  std::uniform_int_distribution<int> delay(0, 100'000);
  for (int kill = 0; kill < kills_; ++kill) {
    killAfter(start({VX_STORE_WRITER_PATH, "push"}), std::chrono::microseconds(delay(random_)));
    auto registration = SharedStore::pushRegistration();
    ASSERT_TRUE(registration.has_value()) << "after kill " << kill;
    ASSERT_EQ(*registration, bulkyRegistration(std::stoll(*registration->reportedWith)))
        << "after kill " << kill;
  }
  EXPECT_LE(namesIn(folder(), "push.json").size(), static_cast<std::size_t>(kills_ / 10));
  age(folder(), "push.json");
  SharedStore::savePushRegistration(bulkyRegistration(1));
  EXPECT_EQ(namesIn(folder(), "push.json"), std::vector<std::string>{});
}

TEST_F(CrashSafety, KilledKeyferrySavesLeaveOneWholeSessionAndNoTemporaries) {
  constexpr std::size_t kSize = 4 * 1024 * 1024;
  const auto session = folder() / "session.json";
  const auto input = temporary_.path() / "input";
  auto save = [&](char fill) {
    std::ofstream(input, std::ios::binary) << std::string(kSize, fill);
    return start({VX_KEYFERRY_PATH, "save"}, input.string());
  };
  // How long one save takes here decides the range of moments to kill at.
  const auto began = std::chrono::steady_clock::now();
  ASSERT_EQ(waitFor(save('a')), 0);
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - began);
  std::uniform_int_distribution<long> delay(0, 2 * took.count());

  for (int kill = 0; kill < kills_; ++kill) {
    killAfter(save(static_cast<char>('b' + kill % 20)), std::chrono::microseconds(delay(random_)));
    auto content = store::readWholeFile(session);
    ASSERT_TRUE(content.has_value()) << "after kill " << kill;
    ASSERT_EQ(content->size(), kSize) << "after kill " << kill;
    ASSERT_EQ(content->find_first_not_of(content->front()), std::string::npos)
        << "after kill " << kill << ": two versions mixed";
  }
  EXPECT_LE(namesIn(folder(), "session.json").size(), static_cast<std::size_t>(kills_ / 10));
  age(folder(), "session.json");
  ASSERT_EQ(waitFor(save('a')), 0);
  EXPECT_EQ(namesIn(folder(), "session.json"), std::vector<std::string>{});
}

}  // namespace
}  // namespace vx
