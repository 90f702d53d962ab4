#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "widgets/intents.hpp"

namespace vx::widgets {

// The projects a user may pick for a summary widget: those of the cached snapshot, or, on a
// fresh install with nothing cached, those of a refresh. Failures give an empty list.
class ProjectEntityQuery {
 public:
  // Every project, in snapshot order.
  [[nodiscard]] std::vector<ProjectEntity> suggestedEntities() const;

  // The projects named by `identifiers`, in snapshot order, each once; identifiers that name
  // no project are left out.
  [[nodiscard]] std::vector<ProjectEntity> entities(std::span<const std::string> identifiers) const;

  // The project with this slug as the cached snapshot names it; nothing when nothing is cached
  // or the cache has no such project. Never refreshes.
  [[nodiscard]] static std::optional<ProjectEntity> cachedEntity(const std::string& id);

  // A new widget starts without a project.
  [[nodiscard]] std::optional<ProjectEntity> defaultResult() const { return std::nullopt; }

 private:
  [[nodiscard]] static std::vector<ProjectEntity> options();
};

}  // namespace vx::widgets
