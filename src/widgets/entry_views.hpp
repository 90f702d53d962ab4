#pragma once

#include <optional>

#include "host/widget_family.hpp"
#include "model/snapshot.hpp"
#include "present/environment.hpp"
#include "ui/element.hpp"
#include "views/all_projects_view.hpp"
#include "views/project_summary_view.hpp"
#include "views/waiting_view.hpp"
#include "widgets/entries.hpp"

// What the host draws for one entry of a widget kind: the kind's view, or the empty state with
// the entry's message when there is nothing to draw, inside the widget's outer layout. Each view
// is rebuilt for every entry drawn and reads the family the widget is placed in.
namespace vx::widgets {

// The outer layout shared by every kind: `content` inset by 16 points on every edge, with the
// widget background filling the whole widget behind it as its container background.
[[nodiscard]] ui::Element widgetFrame(const ui::Element& content, const present::Environment& env);

// The summary view's size for a family: small for systemSmall, medium for every other.
[[nodiscard]] views::ProjectSummaryView::Size projectSummarySize(host::WidgetFamily family);
// The all-projects view's size: extraLarge, large for systemLarge, medium for the rest.
[[nodiscard]] views::AllProjectsView::Size allProjectsSize(host::WidgetFamily family);
// The waiting view's size: small, large for systemLarge, medium for the rest.
[[nodiscard]] views::WaitingView::Size waitingSize(host::WidgetFamily family);

struct ProjectSummaryWidgetView {
  ProjectSummaryEntry entry;
  host::WidgetFamily family = host::WidgetFamily::systemSmall;

  // Which project the widget shows: the configured one while the snapshot still has it, else
  // the first project active in the configured period, else the first project at all.
  [[nodiscard]] std::optional<ProjectEntry> project(const Snapshot& snapshot) const;

  // The whole widget, outer layout included.
  [[nodiscard]] ui::Element element(const present::Environment& env) const;
};

struct AllProjectsWidgetView {
  AllProjectsEntry entry;
  host::WidgetFamily family = host::WidgetFamily::systemMedium;

  [[nodiscard]] ui::Element element(const present::Environment& env) const;
};

struct WaitingWidgetView {
  WaitingEntry entry;
  host::WidgetFamily family = host::WidgetFamily::systemSmall;

  [[nodiscard]] ui::Element element(const present::Environment& env) const;
};

}  // namespace vx::widgets
