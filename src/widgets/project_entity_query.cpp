#include "widgets/project_entity_query.hpp"

#include <algorithm>

#include "refresh/fetcher.hpp"
#include "store/shared_store.hpp"

namespace vx::widgets {
namespace {

std::vector<ProjectEntity> entitiesOf(const Snapshot& snapshot) {
  std::vector<ProjectEntity> result;
  result.reserve(snapshot.projects.size());
  for (const ProjectEntry& project : snapshot.projects) {
    result.push_back(ProjectEntity{project.slug, project.name});
  }
  return result;
}

}  // namespace

std::vector<ProjectEntity> ProjectEntityQuery::suggestedEntities() const {
  return options();
}

std::vector<ProjectEntity> ProjectEntityQuery::entities(
    std::span<const std::string> identifiers) const {
  std::vector<ProjectEntity> result;
  for (ProjectEntity& entity : options()) {
    const bool named =
        std::find(identifiers.begin(), identifiers.end(), entity.id) != identifiers.end();
    // A snapshot never lists a slug twice, but a hand-edited cache might: keep the first.
    const bool seen = std::any_of(result.begin(), result.end(),
                                  [&](const ProjectEntity& kept) { return kept.id == entity.id; });
    if (named && !seen) result.push_back(std::move(entity));
  }
  return result;
}

std::optional<ProjectEntity> ProjectEntityQuery::cachedEntity(const std::string& id) {
  const std::optional<Snapshot> cached = SharedStore::snapshot();
  if (!cached) return std::nullopt;
  for (const ProjectEntry& project : cached->projects) {
    if (project.slug == id) return ProjectEntity{project.slug, project.name};
  }
  return std::nullopt;
}

std::vector<ProjectEntity> ProjectEntityQuery::options() {
  // 1. The cached snapshot, if it can be read and decoded.
  // 2. With one, its projects, even when there are none.
  if (const std::optional<Snapshot> cached = SharedStore::snapshot()) return entitiesOf(*cached);
  // 3. Without one, a refresh without period figures; only a fresh answer lists projects.
  const refresh::Fetcher::Outcome outcome = refresh::Fetcher::shared().current(std::nullopt);
  if (outcome.kind == refresh::Fetcher::Outcome::Kind::fresh && outcome.snapshot) {
    return entitiesOf(*outcome.snapshot);
  }
  return {};
}

}  // namespace vx::widgets
