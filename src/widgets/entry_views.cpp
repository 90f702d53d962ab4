#include "widgets/entry_views.hpp"

#include "present/empty_state.hpp"
#include "present/widget_background.hpp"
#include "ui/widget_container.hpp"
#include "widgets/providers.hpp"

namespace vx::widgets {
namespace {

// A project counts as active in a period when it had visitors or its goal brought something.
bool activeIn(const ProjectEntry& project, WidgetPeriod period) {
  const auto metrics = project.metricsByPeriod.find(std::string(rawValue(period)));
  if (metrics == project.metricsByPeriod.end()) return false;
  if (metrics->second.visitors > 0) return true;
  return metrics->second.goal && metrics->second.goal->value > 0;
}

}  // namespace

ui::Element widgetFrame(const ui::Element& content, const present::Environment& env) {
  return ui::widgetContainer(content, present::WidgetBackground(env));
}

views::ProjectSummaryView::Size projectSummarySize(host::WidgetFamily family) {
  using Size = views::ProjectSummaryView::Size;
  return family == host::WidgetFamily::systemSmall ? Size::small : Size::medium;
}

views::AllProjectsView::Size allProjectsSize(host::WidgetFamily family) {
  using Size = views::AllProjectsView::Size;
  switch (family) {
    case host::WidgetFamily::systemExtraLarge:
      return Size::extraLarge;
    case host::WidgetFamily::systemLarge:
      return Size::large;
    default:
      return Size::medium;
  }
}

views::WaitingView::Size waitingSize(host::WidgetFamily family) {
  using Size = views::WaitingView::Size;
  switch (family) {
    case host::WidgetFamily::systemSmall:
      return Size::small;
    case host::WidgetFamily::systemLarge:
      return Size::large;
    default:
      return Size::medium;
  }
}

std::optional<ProjectEntry> ProjectSummaryWidgetView::project(const Snapshot& snapshot) const {
  // 1. The configured period.
  const WidgetPeriod period = resolvePeriod(entry.configuration.period);
  // 2. The configured project, while the account still has it.
  if (const auto& chosen = entry.configuration.project) {
    for (const ProjectEntry& candidate : snapshot.projects) {
      if (candidate.slug == chosen->id) return candidate;
    }
  }
  // 3. Otherwise the first project active in that period.
  for (const ProjectEntry& candidate : snapshot.projects) {
    if (activeIn(candidate, period)) return candidate;
  }
  // 4. Otherwise the first project; 5. none in an account without projects.
  if (!snapshot.projects.empty()) return snapshot.projects.front();
  return std::nullopt;
}

ui::Element ProjectSummaryWidgetView::element(const present::Environment& env) const {
  std::optional<ProjectEntry> shown;
  if (entry.snapshot) shown = project(*entry.snapshot);
  if (!shown) return widgetFrame(present::EmptyState(entry.message, env), env);

  const WidgetPeriod period = resolvePeriod(entry.configuration.period);
  views::ProjectSummaryView view;
  view.project = std::move(*shown);
  view.period = period;
  view.updatedAt = entry.snapshot->updatedAt(period);
  view.realtimeUntil = clock::addSeconds(entry.snapshot->at, kRealtimeWindow);
  view.now = entry.date;
  view.size = projectSummarySize(family);
  return widgetFrame(view.element(env), env);
}

ui::Element AllProjectsWidgetView::element(const present::Environment& env) const {
  if (!entry.snapshot || entry.snapshot->projects.empty()) {
    return widgetFrame(present::EmptyState(entry.message, env), env);
  }
  views::AllProjectsView view;
  view.snapshot = *entry.snapshot;
  // The view shows no waiting item; without them its copy, and the copies it makes of the
  // projects in turn, stay small however much is waiting.
  for (ProjectEntry& project : view.snapshot.projects)
    std::vector<WaitingItem>().swap(project.waiting);
  view.period = resolvePeriod(entry.configuration.period);
  view.now = entry.date;
  view.size = allProjectsSize(family);
  return widgetFrame(view.element(env), env);
}

ui::Element WaitingWidgetView::element(const present::Environment& env) const {
  // An account without projects or waiting items is the waiting view's own caught-up state.
  if (!entry.snapshot) return widgetFrame(present::EmptyState(entry.message, env), env);
  views::WaitingView view;
  view.snapshot = entry.snapshot;
  view.showDetails = entry.configuration.showDetails;
  view.now = entry.date;
  view.size = waitingSize(family);
  return widgetFrame(view.element(env), env);
}

}  // namespace vx::widgets
