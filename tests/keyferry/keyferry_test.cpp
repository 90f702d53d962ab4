// keyferry run as a real process against a shared folder inside a temporary data home.

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "config/build_config.hpp"
#include "process.hpp"

namespace vx {
namespace {

using vx::testing::ProcessOptions;
using vx::testing::ProcessResult;

const std::string kFolderMessage =
    "No App Group folder: is this build signed with the entitlement?\n";
const std::string kUsageMessage = "usage: keyferry save|forget\n";

std::string contentOf(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

void writeText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

mode_t modeOf(const std::filesystem::path& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0);
  return status.st_mode & 07777;
}

class Keyferry : public ::testing::Test {
 protected:
  Keyferry() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vx-keyferry-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    dataHome_ = root_ / "data";
  }
  ~Keyferry() override {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  ProcessResult run(std::vector<std::string> arguments, std::string input = "",
                    std::optional<rlim_t> fileSizeLimit = std::nullopt) {
    ProcessOptions options;
    options.arguments = std::move(arguments);
    options.input = std::move(input);
    options.environment = {{"HOME", root_.string()}, {"XDG_DATA_HOME", dataHome_.string()}};
    options.fileSizeLimit = fileSizeLimit;
    return vx::testing::runProcess(VX_KEYFERRY_PATH, options);
  }

  [[nodiscard]] std::filesystem::path folder() const {
    return dataHome_ / (std::string("Q7MZ2K4XB9.") + config::kAppBundleId);
  }
  [[nodiscard]] std::filesystem::path session() const { return folder() / "session.json"; }
  [[nodiscard]] std::filesystem::path snapshot() const { return folder() / "snapshot.json"; }

  // Everything in the shared folder, by name.
  [[nodiscard]] std::vector<std::string> folderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::filesystem::path root_;
  std::filesystem::path dataHome_;
};

const std::string kSession = R"({"api":"https://api.example","token":"s3cret"})";

TEST_F(Keyferry, SaveStoresTheInputWithOwnerOnlyModeAndPrintsNothing) {
  auto result = run({"save"}, kSession);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(contentOf(session()), kSession);
  EXPECT_EQ(modeOf(session()), 0600u);
  EXPECT_EQ(modeOf(folder()), 0700u);
  EXPECT_EQ(folderNames(), std::vector<std::string>{"session.json"});
}

TEST_F(Keyferry, SaveIgnoresFurtherArguments) {
  auto result = run({"save", "extra", "forget"}, kSession);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(contentOf(session()), kSession);
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
  EXPECT_TRUE(contentOf(session()) == input) << "stored content differs from the input";
}

TEST_F(Keyferry, SaveReplacesThePreviousSessionAndTightensItsMode) {
  ASSERT_EQ(run({"save"}, "first").status, 0);
  ::chmod(session().c_str(), 0644);
  ASSERT_EQ(run({"save"}, "second").status, 0);
  EXPECT_EQ(contentOf(session()), "second");
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
  EXPECT_EQ(contentOf(session()), "previous");
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
  writeText(snapshot(), "{}");
  writeText(folder() / "push.json", R"({"token":"p"})");
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
  static constexpr uid_t kUser = 65534;

  ReadOnlyFolder() {
    EXPECT_EQ(run({"save"}, kSession).status, 0);
    writeText(snapshot(), "{}");
    ::chmod(folder().c_str(), 0500);
    if (::geteuid() == 0) {
      for (const auto& path : {root_, dataHome_, folder(), session(), snapshot()}) {
        EXPECT_EQ(::chown(path.c_str(), kUser, kUser), 0) << path;
      }
    }
  }
  ~ReadOnlyFolder() override { ::chmod(folder().c_str(), 0700); }

  ProcessResult runAsOwner(std::vector<std::string> arguments, std::string input = "") {
    ProcessOptions options;
    options.arguments = std::move(arguments);
    options.input = std::move(input);
    options.environment = {{"HOME", root_.string()}, {"XDG_DATA_HOME", dataHome_.string()}};
    options.user = kUser;
    return vx::testing::runProcess(VX_KEYFERRY_PATH, options);
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
  EXPECT_EQ(contentOf(session()), kSession);
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
  EXPECT_EQ(contentOf(session()), kSession);
}

TEST_F(Keyferry, MissingFolderIsReportedBeforeTheArgumentsAreLookedAt) {
  // A plain file where the data home should be: the shared folder cannot exist.
  writeText(dataHome_, "not a folder");
  for (std::vector<std::string> arguments :
       std::vector<std::vector<std::string>>{{}, {"bogus"}, {"save"}, {"forget"}}) {
    auto result = run(arguments, kSession);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(result.error, kFolderMessage);
  }
  EXPECT_EQ(contentOf(dataHome_), "not a folder");
}

}  // namespace
}  // namespace vx
