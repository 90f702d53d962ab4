#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/clock.hpp"

namespace vx::desktop {

// A project the "Project" widget can show, as the extension's `projects` answer names it.
struct ProjectChoice {
  std::string id;  // the project's slug
  std::string name;
  bool operator==(const ProjectChoice&) const = default;
};

// The `projects` answer, `[{"id", "name"}]`. Entries that are not such objects or have an empty
// id are left out; a missing or empty name shows the id. Anything but a list gives no projects.
[[nodiscard]] std::vector<ProjectChoice> projectChoicesFromJson(const nlohmann::json& answer);

// Whether `name` holds `search` in any case (Unicode case folding), ignoring blanks around
// `search`. An empty search matches every name.
[[nodiscard]] bool matchesSearch(std::string_view name, std::string_view search);

// The project a widget's configuration names: a slug, or an entity object with its "id" (and
// "name"). Nothing when it names none.
[[nodiscard]] std::optional<ProjectChoice> configuredProject(const nlohmann::json& configuration);

// One row of the editor's project list.
struct ProjectRow {
  ProjectChoice project;
  bool chosen = false;  // the widget's current project
  bool gone = false;    // configured, but no longer among the projects offered
  bool operator==(const ProjectRow&) const = default;
};

// The rows to choose from: the projects offered, in their order, the configured one marked as
// chosen. A configured project that is no longer offered comes first, chosen and gone.
[[nodiscard]] std::vector<ProjectRow> projectRows(const std::vector<ProjectChoice>& offered,
                                                  const std::optional<ProjectChoice>& configured);

// Where the projects offered come from, as a timeline asked for at the same time tells.
enum class ProjectSource {
  current,      // the account as the service has it now
  unreachable,  // the service could not be reached: the projects from the last update
  signedOut,    // nobody is signed in
};

// Reads a `timeline` answer asked for at `asked`: no snapshot and the sign-in message is signed
// out; a snapshot older than the extension's 10 seconds of freshness, or none at all, means the
// refresh failed and the last update's data was kept.
[[nodiscard]] ProjectSource projectSourceOf(const nlohmann::json& timeline, Time asked);

// The line under the project list saying why it shows what it shows; nothing when the list is
// the account's current one and not empty.
[[nodiscard]] std::optional<std::string> projectListNote(ProjectSource source, bool empty);

}  // namespace vx::desktop
