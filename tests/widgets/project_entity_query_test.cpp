#include "widgets/project_entity_query.hpp"

#include <gtest/gtest.h>

#include "widgets_fixture.hpp"

namespace vx::widgets {
namespace {

using namespace std::chrono_literals;
using testing::kNow;
using testing::snapshotAt;

class ProjectEntityQueryTest : public testing::WidgetsTest {};

std::vector<std::string> idsOf(const std::vector<ProjectEntity>& entities) {
  std::vector<std::string> ids;
  for (const auto& entity : entities) ids.push_back(entity.id);
  return ids;
}

TEST_F(ProjectEntityQueryTest, CachedSnapshotListsItsProjectsWithoutRefreshing) {
  signIn();
  serveProjects({"other"});
  SharedStore::save(snapshotAt(kNow - 2h, {"gamma", "alpha", "beta"}));
  const auto entities = ProjectEntityQuery().suggestedEntities();
  EXPECT_EQ(idsOf(entities), (std::vector<std::string>{"gamma", "alpha", "beta"}));
  EXPECT_EQ(entities[1].name, "alpha.example");
  EXPECT_EQ(fake_.requestCount(), 0u);
}

TEST_F(ProjectEntityQueryTest, CachedSnapshotWithoutProjectsGivesEmptyListWithoutRefreshing) {
  signIn();
  serveProjects({"alpha"});
  SharedStore::save(snapshotAt(kNow - 2h, {}));
  EXPECT_TRUE(ProjectEntityQuery().suggestedEntities().empty());
  EXPECT_EQ(fake_.requestCount(), 0u);
}

TEST_F(ProjectEntityQueryTest, NothingCachedRefreshesOnceAndListsEveryProject) {
  signIn();
  serveProjects({"beta", "alpha"});
  const auto entities = ProjectEntityQuery().suggestedEntities();
  EXPECT_EQ(idsOf(entities), (std::vector<std::string>{"beta", "alpha"}));
  EXPECT_EQ(projectListRequests(), 1u);
  // The refresh asked for no period's figures.
  EXPECT_TRUE(fake_
                  .requests("GET",
                            "/v1/projects/beta/analytics/summary?period=7d&compare="
                            "previous_period")
                  .empty());
}

TEST_F(ProjectEntityQueryTest, NothingCachedAndRefreshFailingGivesEmptyList) {
  signIn();
  fake_.on("GET", "/v1/projects", testing::Answer{502, "{}"});
  EXPECT_TRUE(ProjectEntityQuery().suggestedEntities().empty());
  EXPECT_EQ(projectListRequests(), 1u);
}

TEST_F(ProjectEntityQueryTest, EntitiesComeInSnapshotOrderEachOnce) {
  SharedStore::save(snapshotAt(kNow, {"alpha", "beta", "gamma"}));
  const std::vector<std::string> asked{"gamma", "missing", "alpha", "gamma", "alpha"};
  EXPECT_EQ(idsOf(ProjectEntityQuery().entities(asked)),
            (std::vector<std::string>{"alpha", "gamma"}));
  EXPECT_TRUE(ProjectEntityQuery().entities(std::vector<std::string>{}).empty());
}

}  // namespace
}  // namespace vx::widgets
