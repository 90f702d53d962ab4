// The program's sub-commands as a user runs them, against the real extension's kinds.

#include <fstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/process.hpp"
#include "support/scratch.hpp"

namespace vx::desktop {
namespace {

class CommandLineTest : public ::testing::Test {
 protected:
  vx::testing::RunResult host(const std::vector<std::string>& arguments) {
    std::vector<std::string> all = arguments;
    all.push_back("--extension");
    all.push_back(VX_WIDGETS_PATH);
    return vx::testing::run(VX_HOST_PATH, all, environment_);
  }
  std::string file() {
    return testing::readFile(folder_.path() / "config" / "vantorix-widget-host" / "widgets.json");
  }

  vx::testing::ScratchFolder folder_;
  std::map<std::string, std::string> environment_ = {
      {"HOME", folder_.path().string()},
      {"XDG_CONFIG_HOME", (folder_.path() / "config").string()},
      {"XDG_DATA_HOME", (folder_.path() / "data").string()},
      {"PATH", "/usr/bin:/bin"}};
};

TEST_F(CommandLineTest, PlaceConfigureAndListKeepWhatTheUserChose) {
  ASSERT_EQ(host({"place", "--kind", "ProjectSummaryWidget", "--family", "systemSmall", "--project",
                  "alpha"})
                .output,
            "1\n");
  ASSERT_EQ(host({"configure", "1", "--period", "days90", "--family", "systemMedium", "--x", "-40"})
                .status,
            0);
  const auto listed = nlohmann::json::parse(host({"list"}).output);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0]["configuration"],
            nlohmann::json({{"project", "alpha"}, {"period", "days90"}}));
  EXPECT_EQ(listed[0]["family"], "systemMedium");
  EXPECT_EQ(listed[0]["position"], nlohmann::json({{"x", -40}, {"y", 0}}));
}

TEST_F(CommandLineTest, BadRequestsChangeNothing) {
  ASSERT_EQ(host({"place", "--kind", "WaitingWidget", "--family", "systemSmall"}).status, 0);
  const std::string before = file();
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"place", "--kind", "NoSuchWidget", "--family", "systemSmall"},
        {"place", "--kind", "WaitingWidget", "--family", "systemExtraLarge"},
        {"place", "--kind", "WaitingWidget", "--family", "systemSmall", "--period", "days7"},
        {"place", "--kind", "WaitingWidget"},
        {"configure", "1", "--show-details", "maybe"},
        {"configure", "1", "--x", "12px"},
        {"run", "--headless"},
        {"run", "--headless", "--output", "out", "--mode", "accented"},
        {"frobnicate"}}) {
    EXPECT_EQ(host(bad).status, 2) << bad[0] << " " << bad[1];
  }
  EXPECT_EQ(host({"configure", "9", "--x", "1"}).status, 1);
  EXPECT_EQ(host({"remove", "9"}).status, 1);
  EXPECT_EQ(file(), before);
}

TEST_F(CommandLineTest, RunRefusesARuntimeFolderOthersCanEnter) {
  std::filesystem::permissions(folder_.path(), std::filesystem::perms::others_exec,
                               std::filesystem::perm_options::add);
  environment_["XDG_RUNTIME_DIR"] = folder_.path().string();
  // Bounded: a host that starts after all is stopped.
  const auto result = vx::testing::run(
      "/usr/bin/timeout",
      {"20", VX_HOST_PATH, "run", "--headless", "--output", (folder_.path() / "out").string()},
      environment_);
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.error.find("is not a private folder"), std::string::npos) << result.error;
}

TEST_F(CommandLineTest, ADamagedPlacementsFileIsReportedAndKept) {
  std::filesystem::create_directories(folder_.path() / "config" / "vantorix-widget-host");
  std::ofstream(folder_.path() / "config" / "vantorix-widget-host" / "widgets.json") << "{\"widg";
  EXPECT_EQ(host({"list"}).status, 1);
  EXPECT_EQ(host({"place", "--kind", "WaitingWidget", "--family", "systemSmall"}).status, 1);
  EXPECT_EQ(file(), "{\"widg");
}

}  // namespace
}  // namespace vx::desktop
