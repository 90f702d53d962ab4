#include "desktop/placements.hpp"

#include <fstream>

#include <gtest/gtest.h>

#include "desktop/kind_catalogue.hpp"
#include "support/scratch.hpp"

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
