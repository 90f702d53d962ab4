#include "store/shared_store.hpp"

#include <cmath>
#include <fstream>
#include <limits>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <nlohmann/json.hpp>

#include "model/snapshot_json.hpp"
#include "shared_folder_fixture.hpp"
#include "store/file_io.hpp"

namespace vx {
namespace {

using vx::testing::modeOf;
using vx::testing::namesIn;
using vx::testing::ScopedEnvironment;
using vx::testing::SharedFolderTest;
using vx::testing::writeFile;

Snapshot sampleSnapshot(std::int64_t visitors) {
  Snapshot snapshot;
  snapshot.at = Time(std::chrono::milliseconds(1700000000000));
  snapshot.projectCount = 1;
  ProjectEntry entry;
  entry.name = "example.com";
  entry.slug = "example";
  entry.faviconLetter = "E";
  entry.faviconColor = "#06b6d4";
  entry.realtimeVisitors = visitors;
  entry.metricsByPeriod["days7"] = PeriodMetrics{
      visitors, 12.5, std::vector<double>{1, 2, 3}, std::nullopt, std::nullopt, "$10"};
  snapshot.projects.push_back(entry);
  return snapshot;
}

using SharedStoreFolder = SharedFolderTest;

TEST_F(SharedStoreFolder, IsCreatedUnderTheDataHomeForTheOwnerOnly) {
  auto folder = SharedStore::folder();
  ASSERT_EQ(folder, expectedFolder());
  EXPECT_TRUE(std::filesystem::is_directory(*folder));
  EXPECT_EQ(modeOf(*folder), 0700u);
  EXPECT_EQ(SharedStore::folder(), folder) << "a second lookup finds the same folder";
}

TEST_F(SharedStoreFolder, FallsBackToTheHomeWhenTheDataHomeIsUnsetEmptyOrRelative) {
  auto expected = temporary_.path() / ".local" / "share" / expectedFolder().filename();
  for (std::optional<std::string> value :
       {std::optional<std::string>(), std::optional<std::string>(""),
        std::optional<std::string>("relative/data")}) {
    ScopedEnvironment xdg("XDG_DATA_HOME", value);
    EXPECT_EQ(SharedStore::folder(), expected) << value.value_or("<unset>");
  }
}

TEST_F(SharedStoreFolder, IsAbsentWhenAFileStandsWhereTheFolderOrItsParentShouldBe) {
  std::filesystem::create_directories(dataHome());
  writeFile(expectedFolder(), "not a folder");
  EXPECT_EQ(SharedStore::folder(), std::nullopt);

  ScopedEnvironment xdg("XDG_DATA_HOME", (temporary_.path() / "plain-file").string());
  writeFile(temporary_.path() / "plain-file", "not a folder");
  EXPECT_EQ(SharedStore::folder(), std::nullopt);
}

TEST_F(SharedStoreFolder, WithoutAFolderReadsAreEmptyAndWritesDoNothing) {
  std::filesystem::create_directories(dataHome());
  writeFile(expectedFolder(), "not a folder");
  SharedStore::save(sampleSnapshot(1));
  SharedStore::savePushRegistration(SharedStore::PushRegistration{"t", std::nullopt});
  SharedStore::forgetSnapshot();
  EXPECT_EQ(SharedStore::snapshot(), std::nullopt);
  EXPECT_EQ(SharedStore::session(), std::nullopt);
  EXPECT_EQ(SharedStore::pushRegistration(), std::nullopt);
  EXPECT_EQ(store::readWholeFile(expectedFolder()), "not a folder");
}

using SharedStoreSnapshot = SharedFolderTest;

TEST_F(SharedStoreSnapshot, SavedSnapshotReadsBackEqualWithOwnerOnlyMode) {
  EXPECT_EQ(SharedStore::snapshot(), std::nullopt);
  SharedStore::save(sampleSnapshot(5));
  EXPECT_EQ(SharedStore::snapshot(), sampleSnapshot(5));
  EXPECT_EQ(modeOf(expectedFolder() / "snapshot.json"), 0600u);
}

TEST_F(SharedStoreSnapshot, NotANumberWritesNothingAndKeepsThePreviousFile) {
  SharedStore::save(sampleSnapshot(5));
  auto before = store::readWholeFile(expectedFolder() / "snapshot.json");
  for (double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
    auto broken = sampleSnapshot(6);
    broken.projects[0].metricsByPeriod["days7"].visitorsChange = bad;
    SharedStore::save(broken);
  }
  EXPECT_EQ(store::readWholeFile(expectedFolder() / "snapshot.json"), before);
  EXPECT_TRUE(namesIn(expectedFolder(), "snapshot.json").empty());
}

TEST_F(SharedStoreSnapshot, UndecodableFileReadsAsNothing) {
  SharedStore::save(sampleSnapshot(5));
  writeFile(expectedFolder() / "snapshot.json", R"({"at": 1, "periodAt": {}})");
  EXPECT_EQ(SharedStore::snapshot(), std::nullopt);
}

TEST_F(SharedStoreSnapshot, IsDecodedAgainOnlyWhenAnotherVersionOfTheFileStandsThere) {
  SharedStore::save(sampleSnapshot(5));
  const auto first = SharedStore::sharedSnapshot();
  ASSERT_TRUE(first);
  EXPECT_EQ(SharedStore::sharedSnapshot(), first) << "unchanged: the same snapshot";

  SharedStore::save(sampleSnapshot(6));  // replaced
  EXPECT_EQ(*SharedStore::sharedSnapshot(), sampleSnapshot(6));
  EXPECT_EQ(*first, sampleSnapshot(5)) << "what was answered before stays as it was";

  // Rewritten in place with as many bytes, its modification time a second on.
  const auto file = expectedFolder() / "snapshot.json";
  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);
  const auto seven = encodeSnapshot(sampleSnapshot(7));
  ASSERT_EQ(seven->size(), static_cast<std::size_t>(before.st_size));
  std::ofstream(file, std::ios::in | std::ios::out | std::ios::binary) << *seven;
  const timespec times[2] = {before.st_atim, {before.st_mtim.tv_sec + 1, before.st_mtim.tv_nsec}};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  EXPECT_EQ(*SharedStore::sharedSnapshot(), sampleSnapshot(7));

  SharedStore::forgetSnapshot();
  EXPECT_EQ(SharedStore::sharedSnapshot(), nullptr);
}

TEST_F(SharedStoreSnapshot, ForgetRemovesTheFileAndIsSilentWhenThereIsNone) {
  SharedStore::save(sampleSnapshot(5));
  SharedStore::forgetSnapshot();
  EXPECT_FALSE(std::filesystem::exists(expectedFolder() / "snapshot.json"));
  SharedStore::forgetSnapshot();
  EXPECT_EQ(SharedStore::snapshot(), std::nullopt);
}

using SharedStoreSession = SharedFolderTest;

TEST_F(SharedStoreSession, ReadsTheSessionFileAndNothingWhenItDoesNotDecode) {
  auto folder = SharedStore::folder();
  ASSERT_TRUE(folder);
  EXPECT_EQ(SharedStore::session(), std::nullopt);
  writeFile(*folder / "session.json", R"({"api":"http://localhost:9","token":"abc","x":[]})");
  EXPECT_EQ(SharedStore::session(), (SharedSession{"http://localhost:9", "abc"}));
  writeFile(*folder / "session.json", R"({"api":"http://localhost:9"})");
  EXPECT_EQ(SharedStore::session(), std::nullopt);
}

using SharedStorePush = SharedFolderTest;

TEST_F(SharedStorePush, RegistrationReadsBackWithAndWithoutReportedWith) {
  SharedStore::PushRegistration full{"push-token", "session-digest"};
  SharedStore::savePushRegistration(full);
  EXPECT_EQ(SharedStore::pushRegistration(), full);

  SharedStore::PushRegistration bare{"push-token-2", std::nullopt};
  SharedStore::savePushRegistration(bare);
  EXPECT_EQ(SharedStore::pushRegistration(), bare);
  auto written = store::readWholeFile(expectedFolder() / "push.json");
  ASSERT_TRUE(written);
  EXPECT_EQ(nlohmann::json::parse(*written), nlohmann::json({{"token", "push-token-2"}}));
}

TEST_F(SharedStorePush, NothingDeletesTheFileAndIsSilentWhenThereIsNone) {
  SharedStore::savePushRegistration(SharedStore::PushRegistration{"t", "s"});
  SharedStore::savePushRegistration(std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(expectedFolder() / "push.json"));
  SharedStore::savePushRegistration(std::nullopt);
  EXPECT_EQ(SharedStore::pushRegistration(), std::nullopt);
}

TEST(PushRegistrationDecoding, IsStrictAboutKindsAndLenientAboutExtras) {
  using SharedStore::decodePushRegistration;
  EXPECT_EQ(decodePushRegistration(R"({"token":"t","reportedWith":null,"x":1})"),
            (SharedStore::PushRegistration{"t", std::nullopt}));
  EXPECT_EQ(decodePushRegistration(R"({"token":"t","reportedWith":5})"), std::nullopt);
  EXPECT_EQ(decodePushRegistration(R"({"reportedWith":"s"})"), std::nullopt);
  EXPECT_EQ(decodePushRegistration("[]"), std::nullopt);
}

}  // namespace
}  // namespace vx
