#include "desktop/placements.hpp"

#include <fstream>
#include <thread>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "desktop/kind_catalogue.hpp"
#include "desktop/placement_check.hpp"
#include "desktop/placement_edits.hpp"
#include "support/scratch.hpp"
#include "support/unprivileged.hpp"

namespace vx::desktop {
namespace {

const char* kKinds = R"([
  {"kind":"WaitingWidget","name":"Needs you","families":["systemSmall","systemMedium"],
   "configuration":{"parameters":[{"name":"showDetails","type":"flag","default":true}]}},
  {"kind":"ProjectSummaryWidget","families":["systemSmall"],
   "configuration":{"parameters":[{"name":"project","type":"Project","default":null},
     {"name":"period","type":"Period","default":"days7","choices":[{"value":"days7"},{"value":"days28"}]}]}}
])";

TEST(PlacementsFile, RoundTripsThroughTheFileAndKeepsItPrivate) {
  testing::ScratchFolder folder;
  const auto file = placementsFile(folder.path() / "host");
  Placements placements;
  placements.pushToken = newPushToken();
  placements.widgets.push_back({"1",
                                "WaitingWidget",
                                host::WidgetFamily::systemMedium,
                                {{"showDetails", false}},
                                {10, -20}});
  placements.widgets.push_back({placements.nextId(),
                                "ProjectSummaryWidget",
                                host::WidgetFamily::systemSmall,
                                {{"project", "alpha"}},
                                {0, 0}});
  savePlacements(file, placements);
  const Placements read = loadPlacements(file);
  EXPECT_EQ(read.pushToken, placements.pushToken);
  EXPECT_EQ(read.widgets, placements.widgets);
  EXPECT_EQ(read.nextId(), "3");
  EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(placements.pushToken.size(), 64u);
  EXPECT_NE(newPushToken(), placements.pushToken);
}

TEST(PlacementsFile, AMissingFileIsNoWidgetsButADamagedOneIsAnError) {
  testing::ScratchFolder folder;
  EXPECT_TRUE(loadPlacements(folder.path() / "none.json").widgets.empty());
  const auto file = folder.path() / "widgets.json";
  for (
      const char* bad :
      {"not json", "[]", R"({"widgets":{}})",
       R"({"widgets":[{"id":"1","kind":"K","family":"huge","configuration":{},"position":{"x":0,"y":0}}]})",
       R"({"widgets":[{"id":"1","kind":"K","family":"systemSmall","configuration":{},"position":{"x":0.5,"y":0}}]})",
       R"({"widgets":[{"id":"1","kind":"K","family":"systemSmall","configuration":{},"position":{"x":1.0,"y":0}}]})",
       R"({"widgets":[{"id":"1","kind":"K","family":"systemSmall","configuration":{},"position":{"x":18446744073709551615,"y":0}}]})",
       R"({"pushToken":null,"widgets":[]})",
       R"({"widgets":[{"id":"1","kind":"K","family":"systemSmall","configuration":{},"position":{"x":0,"y":0}},
                      {"id":"1","kind":"K","family":"systemSmall","configuration":{},"position":{"x":0,"y":0}}]})"}) {
    std::ofstream(file) << bad;
    EXPECT_THROW((void)loadPlacements(file), std::runtime_error) << bad;
  }
}

TEST(PlacementsFile, SavingLeavesTheModesOfAnExistingFolderAlone) {
  testing::ScratchFolder scratch;
  const auto folder = scratch.path() / "host";
  savePlacements(placementsFile(folder), {});
  EXPECT_EQ(testing::modeOf(folder), 0700u);
  ASSERT_EQ(::chmod(folder.c_str(), 0500), 0);
  testing::handOver(scratch.path());
  EXPECT_TRUE(testing::asUnprivileged([&] {
    try {
      savePlacements(placementsFile(folder), {});
      return false;
    } catch (const std::runtime_error& error) {
      return std::string(error.what()).find("ermission denied") != std::string::npos &&
             testing::modeOf(folder) == 0500;
    }
  }));
}

// Several programs (command line, gallery, editor, host) add widgets at once: none is lost, no id
// is given twice, and an edit that gives up leaves the file as it was.
TEST(PlacementEdits, EditsAtOnceLoseNothingAndAnEditThatGivesUpSavesNothing) {
  testing::ScratchFolder scratch;
  const auto file = placementsFile(scratch.path() / "host");
  std::vector<std::thread> editors;
  for (int editor = 0; editor < 4; ++editor) {
    editors.emplace_back([&] {
      for (int i = 0; i < 10; ++i) {
        updatePlacements(file, [](Placements& placements) {
          Placement added;
          added.id = placements.nextId();
          added.kind = "K";
          placements.widgets.push_back(added);
        });
      }
    });
  }
  for (std::thread& editor : editors) editor.join();
  const Placements saved = loadPlacements(file);
  ASSERT_EQ(saved.widgets.size(), 40u);
  EXPECT_EQ(saved.nextId(), "41");

  EXPECT_THROW(updatePlacements(file,
                                [](Placements& placements) {
                                  placements.widgets.clear();
                                  throw std::runtime_error("given up");
                                }),
               std::runtime_error);
  EXPECT_EQ(loadPlacements(file).widgets.size(), 40u);

  // The largest id a hand edit can write leaves the smallest free number next.
  Placements odd;
  odd.widgets.resize(2);
  odd.widgets[0].id = "18446744073709551615";
  odd.widgets[1].id = "1";
  EXPECT_EQ(odd.nextId(), "2");
}

TEST(PlacementCheck, APlacementTheHostCannotShowIsNamedWithItsProblem) {
  const auto kinds = kindsFromJson(nlohmann::json::parse(kKinds));
  const auto problem = [&](const std::string& id, const std::string& kind,
                           const nlohmann::json& configuration,
                           host::WidgetFamily family = host::WidgetFamily::systemSmall) {
    return placementProblem({id, kind, family, configuration, {0, 0}}, kinds).value_or("");
  };
  EXPECT_EQ(problem("a_b-C", "ProjectSummaryWidget", {{"period", "days28"}}), "");
  for (const std::string& id : {std::string("sub/dir"), std::string(".."), std::string(65, '1')}) {
    EXPECT_NE(problem(id, "WaitingWidget", {}).find("is not 1 to 64 letters"), std::string::npos);
  }
  EXPECT_EQ(problem("1", "Nope", {}), "widget 1: unknown widget kind \"Nope\"");
  EXPECT_EQ(problem("1", "ProjectSummaryWidget", {}, host::WidgetFamily::systemLarge),
            "widget 1: ProjectSummaryWidget comes in systemSmall, not \"systemLarge\"");
  EXPECT_EQ(problem("1", "ProjectSummaryWidget", {{"period", 7}}),
            "widget 1: \"period\" is a text, not 7");
  EXPECT_EQ(problem("1", "WaitingWidget", {{"showDetails", "yes"}}),
            "widget 1: \"showDetails\" is true or false, not \"yes\"");
}

TEST(KindCatalogue, ConfigurationOptionsAreCheckedAgainstTheKind) {
  const auto kinds = kindsFromJson(nlohmann::json::parse(kKinds));
  const KindInfo* waiting = findKind(kinds, "WaitingWidget");
  const KindInfo* summary = findKind(kinds, "ProjectSummaryWidget");
  ASSERT_TRUE(waiting && summary);
  EXPECT_TRUE(waiting->offers(host::WidgetFamily::systemMedium));
  EXPECT_FALSE(summary->offers(host::WidgetFamily::systemMedium));
  EXPECT_EQ(optionName("showDetails"), "--show-details");

  EXPECT_EQ(defaultConfiguration(*summary), nlohmann::json({{"period", "days7"}}));
  EXPECT_EQ(configure(*waiting, defaultConfiguration(*waiting), {{"show-details", "false"}}),
            nlohmann::json({{"showDetails", false}}));
  EXPECT_EQ(configure(*summary, {{"period", "days28"}}, {{"project", "alpha"}}),
            nlohmann::json({{"period", "days28"}, {"project", "alpha"}}));
  EXPECT_THROW((void)configure(*waiting, {}, {{"show-details", "yes"}}), std::invalid_argument);
  EXPECT_THROW((void)configure(*waiting, {}, {{"period", "days7"}}), std::invalid_argument);
  EXPECT_THROW((void)configure(*summary, {}, {{"period", "days8"}}), std::invalid_argument);
  EXPECT_THROW((void)configure(*summary, {}, {{"project", ""}}), std::invalid_argument);
  EXPECT_THROW((void)kindsFromJson(nlohmann::json::parse(R"([{"name":"x"}])")), std::runtime_error);
}

}  // namespace
}  // namespace vx::desktop
