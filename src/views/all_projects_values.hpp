#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/clock.hpp"
#include "model/snapshot.hpp"
#include "model/widget_period.hpp"
#include "views/all_projects_view.hpp"

// What the all-projects view derives from its inputs on every draw.
namespace vx::views::all_projects {

// How long after the snapshot its online counts are current, in seconds.
inline constexpr double kLiveWindow = 900;

// The online counts are current: now is within the live window after the snapshot.
[[nodiscard]] bool isLive(const Snapshot& snapshot, Time now);

// The project's visitors online now while the snapshot is live, else 0 (no dot).
[[nodiscard]] std::int64_t online(const ProjectEntry& project, const Snapshot& snapshot, Time now);

// The projects with activity in the period first, then the others; each group keeps the
// snapshot's order.
[[nodiscard]] std::vector<ProjectEntry> ordered(const std::vector<ProjectEntry>& projects,
                                                WidgetPeriod period);

// The project shown in full: only in the extra-large size, and only when the first ordered
// project is active.
[[nodiscard]] std::optional<ProjectEntry> featured(const std::vector<ProjectEntry>& ordered,
                                                   WidgetPeriod period, AllProjectsView::Size size);

// How many projects the account has. The service's total, but never fewer than the snapshot
// holds: a cached snapshot that breaks that rule must not make the counts go negative.
[[nodiscard]] std::int64_t projectTotal(const Snapshot& snapshot);

// Rows a list shows at most: 2 in the medium size, 6 in the larger ones.
[[nodiscard]] std::size_t rowLimit(AllProjectsView::Size size);

// The row's link: the project, or its goal settings when the period is active without a goal.
// Nothing when that does not form a valid URL.
[[nodiscard]] std::optional<std::string> rowURL(const ProjectEntry& project, WidgetPeriod period);

// "1 more project", "3 more projects".
[[nodiscard]] std::string moreProjects(std::int64_t hidden);

}  // namespace vx::views::all_projects
