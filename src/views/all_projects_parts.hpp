#pragma once

#include <string>
#include <vector>

#include "model/snapshot.hpp"
#include "present/environment.hpp"
#include "ui/element.hpp"
#include "views/all_projects_view.hpp"

// The all-projects view's list and its rows.
namespace vx::views::all_projects {

// One project: its name with the live dot while anyone is online, its visitors and their change
// (or how long it has had no visits), and its goal result or what to do next. Not yet linked.
[[nodiscard]] ui::Element row(const ProjectEntry& project, const AllProjectsView& view,
                              const present::Environment& env);

// The header with `title` and the number of projects it covers (the account's total less the
// `shownBefore` ones shown elsewhere), the first rows of `projects`, each linked to its project,
// and at the bottom how many projects are left out.
[[nodiscard]] ui::Element list(const std::vector<ProjectEntry>& projects, const std::string& title,
                               std::int64_t shownBefore, const AllProjectsView& view,
                               const present::Environment& env);

}  // namespace vx::views::all_projects
