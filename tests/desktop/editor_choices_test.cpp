#include <gtest/gtest.h>

#include "desktop/kind_catalogue.hpp"
#include "desktop/placements.hpp"
#include "desktop/project_choices.hpp"
#include "desktop/widget_edits.hpp"
#include "support/scratch.hpp"

namespace vx::desktop {
namespace {

using Json = nlohmann::json;

TEST(ProjectChoices, ReadsOnlyWellFormedProjectsFromTheAnswer) {
  const Json answer = Json::parse(R"([{"id":"alpha","name":"Alpha"}, "beta", 7, null,
    {"id":"","name":"No id"}, {"name":"No id either"}, {"id":["x"],"name":"Odd"},
    {"id":"gamma"}, {"id":"delta","name":42}])");
  EXPECT_EQ(
      projectChoicesFromJson(answer),
      (std::vector<ProjectChoice>{{"alpha", "Alpha"}, {"gamma", "gamma"}, {"delta", "delta"}}));
  for (const char* other : {R"({"id":"alpha"})", "null", R"("alpha")"}) {
    EXPECT_TRUE(projectChoicesFromJson(Json::parse(other)).empty()) << other;
  }
}

TEST(ProjectChoices, SearchMatchesAnyPartOfTheNameInAnyCase) {
  EXPECT_TRUE(matchesSearch("Maple Books", "BOOK"));
  EXPECT_TRUE(matchesSearch("Maple Books", "  le bo "));
  EXPECT_TRUE(matchesSearch("Café Olé", "CAFÉ"));
  EXPECT_TRUE(matchesSearch("Straße 12", "STRASSE"));
  EXPECT_TRUE(matchesSearch("Anything", ""));
  EXPECT_TRUE(matchesSearch("Anything", "   "));
  EXPECT_FALSE(matchesSearch("Maple Books", "maple  books"));
  EXPECT_FALSE(matchesSearch("Cafe", "café"));
  EXPECT_FALSE(matchesSearch("", "a"));
}

TEST(ProjectChoices, TheConfiguredProjectIsMarkedAndOneNoLongerOfferedComesFirst) {
  const std::vector<ProjectChoice> offered{{"a", "Alpha"}, {"b", "Beta"}};
  EXPECT_EQ(
      projectRows(offered, ProjectChoice{"b", "b"}),
      (std::vector<ProjectRow>{{{"a", "Alpha"}, false, false}, {{"b", "Beta"}, true, false}}));
  EXPECT_EQ(
      projectRows(offered, std::nullopt),
      (std::vector<ProjectRow>{{{"a", "Alpha"}, false, false}, {{"b", "Beta"}, false, false}}));
  EXPECT_EQ(projectRows({}, ProjectChoice{"gone", "Gone Ltd"}),
            (std::vector<ProjectRow>{{{"gone", "Gone Ltd"}, true, true}}));
  EXPECT_EQ(projectRows(offered, ProjectChoice{"z", "z"}).front(),
            (ProjectRow{{"z", "z"}, true, true}));

  EXPECT_EQ(configuredProject(Json{{"project", "b"}}), (ProjectChoice{"b", "b"}));
  EXPECT_EQ(configuredProject(Json{{"project", {{"id", "b"}, {"name", "Beta"}}}}),
            (ProjectChoice{"b", "Beta"}));
  for (const Json& none : {Json::object(), Json{{"project", ""}}, Json{{"project", 3}},
                           Json{{"project", {{"name", "No id"}}}}, Json::array()}) {
    EXPECT_EQ(configuredProject(none), std::nullopt) << none;
  }
}

TEST(ProjectChoices, TheTimelineTellsWhereTheProjectsComeFrom) {
  const Time asked{std::chrono::milliseconds(1'773'144'000'000)};
  const auto withSnapshotAt = [](std::int64_t ms) {
    return Json{{"entries",
                 {{{"message", "Open Vantorix to load your projects"},
                   {"snapshot", {{"at", ms}, {"projects", Json::array()}}}}}}};
  };
  EXPECT_EQ(projectSourceOf(withSnapshotAt(1'773'144'000'000 - 9'000), asked),
            ProjectSource::current);
  EXPECT_EQ(projectSourceOf(withSnapshotAt(1'773'144'000'000 - 60'000), asked),
            ProjectSource::unreachable);
  EXPECT_EQ(projectSourceOf(Json{{"entries", {{{"message", "Open Vantorix to sign in"}}}}}, asked),
            ProjectSource::signedOut);
  for (const char* failed : {"null", "{}", R"({"entries":[]})",
                             R"({"entries":[{"message":"Open Vantorix to load your projects"}]})",
                             R"({"entries":[{"snapshot":{"at":"soon"}}]})", R"({"entries":"x"})"}) {
    EXPECT_EQ(projectSourceOf(Json::parse(failed), asked), ProjectSource::unreachable) << failed;
  }

  EXPECT_EQ(projectListNote(ProjectSource::current, false), std::nullopt);
  for (const bool empty : {true, false}) {
    EXPECT_TRUE(projectListNote(ProjectSource::unreachable, empty));
    EXPECT_TRUE(projectListNote(ProjectSource::signedOut, empty));
  }
  EXPECT_TRUE(projectListNote(ProjectSource::current, true));
}

class WidgetEdits : public ::testing::Test {
 protected:
  void SetUp() override {
    kind_ = kindsFromJson(Json::parse(R"([{"kind":"ProjectSummaryWidget","name":"Project",
      "families":["systemSmall"],"configuration":{"parameters":[
        {"name":"project","title":"Project","type":"Project","default":null},
        {"name":"period","title":"Period","type":"Period","default":"days7",
         "choices":[{"value":"days7","label":"7 days"},{"value":"days28"}]}]}}])"))
                .front();
    Placements placements;
    placements.pushToken = "ab";
    placements.widgets.push_back(
        {"1", kind_.kind, host::WidgetFamily::systemSmall, {{"period", "days7"}}, {0, 0}});
    placements.widgets.push_back(
        {"2", "WaitingWidget", host::WidgetFamily::systemSmall, {{"showDetails", true}}, {200, 0}});
    savePlacements(file_, placements);
  }

  testing::ScratchFolder folder_;
  std::filesystem::path file_ = folder_.path() / "widgets.json";
  KindInfo kind_;
};

TEST_F(WidgetEdits, TheKindsGiveTitlesAndChoiceLabels) {
  EXPECT_EQ(kind_.parameters.at(0).title, "Project");
  EXPECT_EQ(kind_.parameters.at(1).labels, (std::vector<std::string>{"7 days", "days28"}));
}

TEST_F(WidgetEdits, AChangeIsCheckedAsTheCommandLineChecksItAndSavedOnlyWhenValid) {
  const Placement saved =
      configurePlacement(file_, "1", kind_, {{"period", "days28"}, {"project", "beta"}});
  EXPECT_EQ(saved.configuration, (Json{{"period", "days28"}, {"project", "beta"}}));
  EXPECT_EQ(loadPlacements(file_).find("1")->configuration, saved.configuration);

  const std::string before = testing::readFile(file_);
  EXPECT_THROW((void)configurePlacement(file_, "1", kind_, {{"period", "days8"}}),
               std::invalid_argument);
  EXPECT_THROW((void)configurePlacement(file_, "1", kind_, {{"show-details", "true"}}),
               std::invalid_argument);
  EXPECT_THROW((void)configurePlacement(file_, "9", kind_, {{"period", "days7"}}),
               std::runtime_error);
  EXPECT_THROW((void)configurePlacement(file_, "2", kind_, {{"period", "days7"}}),
               std::runtime_error);
  EXPECT_EQ(testing::readFile(file_), before);
}

TEST_F(WidgetEdits, RemovingTakesOutOneWidgetAndKeepsTheRest) {
  EXPECT_TRUE(removePlacement(file_, "1"));
  EXPECT_FALSE(removePlacement(file_, "1"));
  const Placements left = loadPlacements(file_);
  EXPECT_EQ(left.pushToken, "ab");
  ASSERT_EQ(left.widgets.size(), 1u);
  EXPECT_EQ(left.widgets.front().id, "2");
}

}  // namespace
}  // namespace vx::desktop
