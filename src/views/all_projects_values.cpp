#include "views/all_projects_values.hpp"

#include <algorithm>

#include "present/deep_link.hpp"
#include "views/active.hpp"

namespace vx::views::all_projects {

bool isLive(const Snapshot& snapshot, Time now) {
  return now < clock::addSeconds(snapshot.at, kLiveWindow);
}

std::int64_t online(const ProjectEntry& project, const Snapshot& snapshot, Time now) {
  return isLive(snapshot, now) ? project.realtimeVisitors : 0;
}

std::vector<ProjectEntry> ordered(const std::vector<ProjectEntry>& projects, WidgetPeriod period) {
  std::vector<ProjectEntry> out = projects;
  std::stable_partition(out.begin(), out.end(),
                        [&](const ProjectEntry& p) { return isActive(p.metrics(period)); });
  return out;
}

std::optional<ProjectEntry> featured(const std::vector<ProjectEntry>& ordered, WidgetPeriod period,
                                     AllProjectsView::Size size) {
  if (size != AllProjectsView::Size::extraLarge || ordered.empty()) return std::nullopt;
  if (!isActive(ordered.front().metrics(period))) return std::nullopt;
  return ordered.front();
}

std::int64_t projectTotal(const Snapshot& snapshot) {
  return std::max(snapshot.projectCount, static_cast<std::int64_t>(snapshot.projects.size()));
}

std::size_t rowLimit(AllProjectsView::Size size) {
  return size == AllProjectsView::Size::medium ? 2 : 6;
}

std::optional<std::string> rowURL(const ProjectEntry& project, WidgetPeriod period) {
  const std::optional<PeriodMetrics> metrics = project.metrics(period);
  if (isActive(metrics) && !metrics->goal) return present::projectGoalsLink(project.slug);
  return present::projectLink(project.slug);
}

std::string moreProjects(std::int64_t hidden) {
  return std::to_string(hidden) + (hidden == 1 ? " more project" : " more projects");
}

}  // namespace vx::views::all_projects
