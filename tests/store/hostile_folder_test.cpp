// The shared folder as someone else may have left it: read-only, or holding things that are
// not plain files where the store's files belong.

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "shared_folder_fixture.hpp"
#include "store/file_io.hpp"
#include "store/shared_store.hpp"
#include "store/system_calls.hpp"
#include "support/unprivileged.hpp"

namespace vx {
namespace {

using vx::testing::asUnprivileged;
using vx::testing::handOver;
using vx::testing::kUnprivilegedUser;
using vx::testing::modeOf;
using vx::testing::namesIn;
using vx::testing::ScopedEnvironment;
using vx::testing::SharedFolderTest;
using vx::testing::writeFile;

const std::string kSession = R"({"api":"http://localhost:9","token":"abc"})";

Snapshot namedSnapshot(const std::string& name) {
  Snapshot snapshot;
  snapshot.at = Time(std::chrono::milliseconds(1700000000000));
  snapshot.projectCount = 1;
  ProjectEntry entry;
  entry.name = name;
  entry.slug = "example";
  entry.faviconLetter = "E";
  entry.faviconColor = "#06b6d4";
  snapshot.projects.push_back(entry);
  return snapshot;
}

using ReadOnlySharedFolder = SharedFolderTest;

TEST_F(ReadOnlySharedFolder, StillReadsAndLetsWritesFailWithoutTouchingFiles) {
  auto folder = SharedStore::folder();
  ASSERT_TRUE(folder);
  writeFile(*folder / "session.json", kSession);
  SharedStore::save(namedSnapshot("before"));
  ASSERT_EQ(::chmod(folder->c_str(), 0500), 0);
  handOver(temporary_.path());

  EXPECT_TRUE(asUnprivileged([&] {
    return SharedStore::folder() == folder &&
           SharedStore::session() == SharedSession{"http://localhost:9", "abc"} &&
           SharedStore::snapshot() == namedSnapshot("before");
  })) << "a folder that is only readable still holds a readable session and snapshot";

  EXPECT_TRUE(asUnprivileged([&] {
    SharedStore::save(namedSnapshot("after"));
    SharedStore::forgetSnapshot();
    SharedStore::savePushRegistration(SharedStore::PushRegistration{"t", std::nullopt});
    return SharedStore::snapshot() == namedSnapshot("before");
  })) << "writes and deletions fail quietly and leave the previous files";
  EXPECT_EQ(namesIn(*folder, "snapshot.json"), std::vector<std::string>{"session.json"});
  ::chmod(folder->c_str(), 0700);
}

TEST_F(ReadOnlySharedFolder, ThatCannotBeSearchedIsNoFolder) {
  auto folder = SharedStore::folder();
  ASSERT_TRUE(folder);
  writeFile(*folder / "session.json", kSession);
  ASSERT_EQ(::chmod(folder->c_str(), 0600), 0);
  handOver(temporary_.path());
  EXPECT_TRUE(asUnprivileged(
      [&] { return !SharedStore::folder().has_value() && !SharedStore::session().has_value(); }));
  ::chmod(folder->c_str(), 0700);
}

using ExposedSharedFolder = SharedFolderTest;

TEST_F(ExposedSharedFolder, IsMadePrivateKeepingTheOwnersBits) {
  auto folder = SharedStore::folder();
  ASSERT_TRUE(folder);
  writeFile(*folder / "session.json", kSession);
  for (const auto& [mode, tightened] : std::vector<std::pair<mode_t, mode_t>>{
           {0777, 0700}, {0755, 0700}, {0711, 0700}, {0570, 0500}, {0707, 0700}}) {
    ASSERT_EQ(::chmod(folder->c_str(), mode), 0);
    EXPECT_EQ(SharedStore::folder(), folder) << std::oct << mode;
    EXPECT_EQ(modeOf(*folder), tightened) << std::oct << mode;
    EXPECT_EQ(SharedStore::session(), (SharedSession{"http://localhost:9", "abc"}));
  }
}

TEST_F(ExposedSharedFolder, OfAnotherUserIsNoFolder) {
  auto folder = SharedStore::folder();
  ASSERT_TRUE(folder);
  writeFile(*folder / "session.json", kSession);
  ASSERT_EQ(::chmod(folder->c_str(), 0777), 0);
  if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can give the folder away";
  ASSERT_EQ(::chown(folder->c_str(), kUnprivilegedUser, kUnprivilegedUser), 0);
  EXPECT_EQ(SharedStore::folder(), std::nullopt);
  EXPECT_EQ(SharedStore::session(), std::nullopt);
  SharedStore::save(namedSnapshot("mine"));
  EXPECT_FALSE(std::filesystem::exists(*folder / "snapshot.json"));
  EXPECT_EQ(modeOf(*folder), 0777u) << "someone else's folder is left as it is";
  ASSERT_EQ(::chown(folder->c_str(), 0, 0), 0);
}

// Links planted where the folder or its data home should be, in a folder others can write to.
using LinkedSharedFolder = SharedFolderTest;

TEST_F(LinkedSharedFolder, InPlaceOfTheFolderIsNoFolderAndItsTargetIsLeftAlone) {
  const auto victim = temporary_.path() / "victim";
  std::filesystem::create_directories(victim);
  ASSERT_EQ(::chmod(victim.c_str(), 0755), 0);
  writeFile(victim / "session.json", kSession);
  std::filesystem::create_directories(dataHome());
  std::filesystem::create_directory_symlink(victim, expectedFolder());
  EXPECT_EQ(SharedStore::session(), std::nullopt);
  SharedStore::save(namedSnapshot("mine"));
  EXPECT_FALSE(std::filesystem::exists(victim / "snapshot.json"));
  EXPECT_EQ(modeOf(victim), 0755u);
}

TEST_F(LinkedSharedFolder, IsReachedOnlyThroughLinksOfTheUser) {
  const auto link = temporary_.path() / "link";
  std::filesystem::create_directories(temporary_.path() / "real" / "data");
  std::filesystem::create_directory_symlink(temporary_.path() / "real", link);
  // The data home through that link, and through a link of the user's that leads through it.
  std::filesystem::create_directory_symlink(link / "data", temporary_.path() / "outer");
  struct stat planted {};
  ASSERT_EQ(::lstat(link.c_str(), &planted), 0);
  for (const auto& home : {link / "data", temporary_.path() / "outer"}) {
    ScopedEnvironment xdg("XDG_DATA_HOME", home.string());
    EXPECT_EQ(SharedStore::folder(), home / expectedFolder().filename());
    // The same link as another user's (the kernel will not make one on demand).
    store::systemCalls().lstat = [planted](const char* path, struct stat* status) {
      const int result = ::lstat(path, status);
      if (result == 0 && status->st_ino == planted.st_ino) status->st_uid = kUnprivilegedUser + 1;
      return result;
    };
    EXPECT_EQ(SharedStore::folder(), std::nullopt) << home;
    store::systemCalls() = store::realSystemCalls();
  }
}

using NonRegularSharedFiles = SharedFolderTest;

TEST_F(NonRegularSharedFiles, FifosReadAsNothingInsteadOfBlocking) {
  auto folder = SharedStore::folder();
  ASSERT_TRUE(folder);
  for (const char* name : {"session.json", "snapshot.json", "push.json"}) {
    ASSERT_EQ(::mkfifo((*folder / name).c_str(), 0600), 0) << name;
  }
  handOver(temporary_.path());
  // Run apart, so that a read that blocks ends as a failure instead of hanging the tests.
  EXPECT_TRUE(asUnprivileged(
      [&] {
        return SharedStore::folder() == folder && !SharedStore::session() &&
               !SharedStore::snapshot() && !SharedStore::pushRegistration();
      },
      20));
}

TEST_F(NonRegularSharedFiles, FoldersAndLinksReadAsNothingAndWritesReplaceOnlyTheName) {
  auto folder = SharedStore::folder();
  ASSERT_TRUE(folder);
  std::filesystem::create_directory(*folder / "session.json");
  EXPECT_EQ(SharedStore::session(), std::nullopt);
  EXPECT_EQ(store::readWholeFile("/dev/null"), std::nullopt) << "a device is not a file";

  // A link into another folder: writing replaces the link, never the file it points at.
  auto outside = temporary_.path() / "elsewhere.json";
  writeFile(outside, "someone else's file");
  std::filesystem::create_symlink(outside, *folder / "snapshot.json");
  SharedStore::save(namedSnapshot("mine"));
  EXPECT_FALSE(std::filesystem::is_symlink(*folder / "snapshot.json"));
  EXPECT_EQ(SharedStore::snapshot(), namedSnapshot("mine"));
  EXPECT_EQ(store::readWholeFile(outside), "someone else's file");

  // Read through, a link could hand any file of the user's in as the store's own.
  writeFile(outside, R"({"token":"t"})");
  std::filesystem::create_symlink(outside, *folder / "push.json");
  EXPECT_EQ(SharedStore::pushRegistration(), std::nullopt);
}

using UnencodableText = SharedFolderTest;

TEST_F(UnencodableText, IsNotWrittenAndKeepsThePreviousFiles) {
  SharedStore::save(namedSnapshot("before"));
  SharedStore::savePushRegistration(SharedStore::PushRegistration{"token", "digest"});
  auto folder = *SharedStore::folder();
  auto snapshotBefore = store::readWholeFile(folder / "snapshot.json");
  auto pushBefore = store::readWholeFile(folder / "push.json");

  for (const std::string& bad : std::vector<std::string>{"\xff", "caf\xc3", "\xed\xa0\x80",
                                                         std::string("ok\0\xc0\x80", 5)}) {
    EXPECT_NO_THROW(SharedStore::save(namedSnapshot(bad)));
    EXPECT_NO_THROW(
        SharedStore::savePushRegistration(SharedStore::PushRegistration{bad, std::nullopt}));
    EXPECT_NO_THROW(SharedStore::savePushRegistration(SharedStore::PushRegistration{"token", bad}));
  }
  EXPECT_EQ(store::readWholeFile(folder / "snapshot.json"), snapshotBefore);
  EXPECT_EQ(store::readWholeFile(folder / "push.json"), pushBefore);
  EXPECT_EQ(namesIn(folder, "snapshot.json"), std::vector<std::string>{"push.json"});
  EXPECT_EQ(SharedStore::encodePushRegistration({"\xfe", std::nullopt}), std::nullopt);
}

}  // namespace
}  // namespace vx
