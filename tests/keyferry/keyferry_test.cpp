// keyferry run as a real process against a shared folder inside a temporary data home.

#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "config/build_config.hpp"
#include "support/process.hpp"
#include "support/scratch.hpp"
#include "support/unprivileged.hpp"

namespace vx {
namespace {

using testing::modeOf;
using testing::readFile;
using testing::RunResult;
using testing::writeFile;

const std::string kFolderMessage =
    "No App Group folder: is this build signed with the entitlement?\n";
const std::string kUsageMessage = "usage: keyferry save|forget\n";

class Keyferry : public ::testing::Test {
 protected:
  RunResult run(std::vector<std::string> arguments, std::string input = "",
                std::optional<rlim_t> fileSizeLimit = std::nullopt,
                std::optional<uid_t> user = {}) {
    return testing::run(
        VX_KEYFERRY_PATH,
        {.arguments = std::move(arguments),
         .environment = {{{"HOME", root_.string()}, {"XDG_DATA_HOME", dataHome_.string()}}},
         .fileSizeLimit = fileSizeLimit,
         .user = user},
        input);
  }

  [[nodiscard]] std::filesystem::path folder() const {
    return dataHome_ / (std::string("Q7MZ2K4XB9.") + config::kAppBundleId);
  }
  [[nodiscard]] std::filesystem::path session() const { return folder() / "session.json"; }
  [[nodiscard]] std::filesystem::path snapshot() const { return folder() / "snapshot.json"; }

  // Everything in the shared folder, by name.
  [[nodiscard]] std::vector<std::string> folderNames() const { return testing::namesIn(folder()); }

  testing::ScratchFolder scratch_;
  const std::filesystem::path root_ = scratch_.path();
  const std::filesystem::path dataHome_ = root_ / "data";
};

const std::string kSession = R"({"api":"https://api.example","token":"s3cret"})";

TEST_F(Keyferry, SaveStoresTheInputWithOwnerOnlyModeAndPrintsNothing) {
  auto result = run({"save"}, kSession);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(readFile(session()), kSession);
  EXPECT_EQ(modeOf(session()), 0600u);
  EXPECT_EQ(modeOf(folder()), 0700u);
  EXPECT_EQ(folderNames(), std::vector<std::string>{"session.json"});
}

TEST_F(Keyferry, SaveIgnoresFurtherArguments) {
  auto result = run({"save", "extra", "forget"}, kSession);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(readFile(session()), kSession);
}

TEST_F(Keyferry, SaveOfEmptyInputCreatesAnEmptyOwnerOnlyFile) {
  auto result = run({"save"}, "");
  EXPECT_EQ(result.status, 0);
  ASSERT_TRUE(std::filesystem::exists(session()));
  EXPECT_EQ(std::filesystem::file_size(session()), 0u);
  EXPECT_EQ(modeOf(session()), 0600u);
}

TEST_F(Keyferry, SaveKeepsLargeBinaryInputByteForByte) {
  std::string input;
  for (int i = 0; i < 8 * 1024 * 1024; ++i) input.push_back(static_cast<char>((i * 31 + 7) % 256));
  auto result = run({"save"}, input);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, "");
  EXPECT_TRUE(readFile(session()) == input) << "stored content differs from the input";
}

TEST_F(Keyferry, SaveReplacesThePreviousSessionAndTightensItsMode) {
  ASSERT_EQ(run({"save"}, "first").status, 0);
  ::chmod(session().c_str(), 0644);
  ASSERT_EQ(run({"save"}, "second").status, 0);
  EXPECT_EQ(readFile(session()), "second");
  EXPECT_EQ(modeOf(session()), 0600u);
  EXPECT_EQ(folderNames(), std::vector<std::string>{"session.json"});
}

TEST_F(Keyferry, FailedSaveReportsTheFailureAndKeepsThePreviousSession) {
  ASSERT_EQ(run({"save"}, "previous").status, 0);
  auto result = run({"save"}, std::string(4096, 'n'), 64);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.error,
            "cannot write a temporary file for " + session().string() + ": File too large\n");
  EXPECT_EQ(readFile(session()), "previous");
  EXPECT_EQ(folderNames(), std::vector<std::string>{"session.json"});
}

TEST_F(Keyferry, FailedReplaceReportsOneLineAndLeavesNoTemporary) {
  std::filesystem::create_directories(session());
  auto result = run({"save"}, kSession);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.error, "cannot replace " + session().string() + ": Is a directory\n");
  EXPECT_TRUE(std::filesystem::is_directory(session()));
  EXPECT_EQ(folderNames(), std::vector<std::string>{"session.json"});
}

TEST_F(Keyferry, ForgetDeletesSessionAndSnapshotButLeavesPushRegistration) {
  ASSERT_EQ(run({"save"}, kSession).status, 0);
  writeFile(snapshot(), "{}");
  writeFile(folder() / "push.json", R"({"token":"p"})");
  auto result = run({"forget"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(folderNames(), std::vector<std::string>{"push.json"});
}

TEST_F(Keyferry, ForgetTwiceSucceedsBothTimes) {
  ASSERT_EQ(run({"save"}, kSession).status, 0);
  for (int i = 0; i < 2; ++i) {
    auto result = run({"forget"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.error, "");
  }
  EXPECT_TRUE(folderNames().empty());
}

// Permission bits do not stop the superuser: as root, these run keyferry as "nobody".
class ReadOnlyFolder : public Keyferry {
 protected:
  static constexpr uid_t kUser = testing::kUnprivilegedUser;

  ReadOnlyFolder() {
    EXPECT_EQ(run({"save"}, kSession).status, 0);
    writeFile(snapshot(), "{}");
    ::chmod(folder().c_str(), 0500);
    if (::geteuid() == 0) {
      for (const auto& path : {root_, dataHome_, folder(), session(), snapshot()}) {
        EXPECT_EQ(::chown(path.c_str(), kUser, kUser), 0) << path;
      }
    }
  }
  ~ReadOnlyFolder() override { ::chmod(folder().c_str(), 0700); }

  RunResult runAsOwner(std::vector<std::string> arguments, std::string input = "") {
    return run(std::move(arguments), std::move(input), std::nullopt, kUser);
  }
};

TEST_F(ReadOnlyFolder, ForgetStillSucceedsAndLeavesTheFiles) {
  auto result = runAsOwner({"forget"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(folderNames(), (std::vector<std::string>{"session.json", "snapshot.json"}));
}

TEST_F(ReadOnlyFolder, SaveReportsTheWriteFailureAndKeepsTheSession) {
  auto result = runAsOwner({"save"}, "replacement");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.error,
            "cannot create a temporary file in " + folder().string() + ": Permission denied\n");
  EXPECT_EQ(readFile(session()), kSession);
  EXPECT_EQ(folderNames(), (std::vector<std::string>{"session.json", "snapshot.json"}));
}

TEST_F(Keyferry, AnythingButTheTwoCommandsPrintsUsageAndTouchesNothing) {
  ASSERT_EQ(run({"save"}, kSession).status, 0);
  for (std::vector<std::string> arguments : std::vector<std::vector<std::string>>{
           {}, {"Save"}, {"FORGET"}, {"save "}, {""}, {"--help"}, {"extra", "save"}}) {
    auto result = run(arguments, "replacement");
    EXPECT_EQ(result.status, 2) << arguments.size();
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(result.error, kUsageMessage);
  }
  EXPECT_EQ(readFile(session()), kSession);
}

TEST_F(Keyferry, MissingFolderIsReportedBeforeTheArgumentsAreLookedAt) {
  // A plain file where the data home should be: the shared folder cannot exist.
  writeFile(dataHome_, "not a folder");
  for (std::vector<std::string> arguments :
       std::vector<std::vector<std::string>>{{}, {"bogus"}, {"save"}, {"forget"}}) {
    auto result = run(arguments, kSession);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(result.error, kFolderMessage);
  }
  EXPECT_EQ(readFile(dataHome_), "not a folder");
}

}  // namespace
}  // namespace vx
