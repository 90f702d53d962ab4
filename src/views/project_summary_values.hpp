#pragma once

#include <optional>
#include <string>

#include "model/snapshot.hpp"
#include "views/project_summary_view.hpp"

namespace vx::views {

// What the summary view derives from its inputs on every draw.
struct SummaryValues {
  int days = 7;
  std::optional<PeriodMetrics> metrics;  // the period's figures, when there are any
  bool active = false;
  std::optional<GoalFigure> goal;      // only when active
  std::optional<double> changeToShow;  // the visitors' change, only when active
};

[[nodiscard]] SummaryValues summaryValues(const ProjectSummaryView& view);

// The view's tap link: the project, or its goal settings when the period is active without a
// goal. Nothing when that does not form a valid URL.
[[nodiscard]] std::optional<std::string> summaryLink(const ProjectSummaryView& view,
                                                     const SummaryValues& values);

// The online count the header shows: the realtime visitors outside the small size while they are
// current, otherwise 0 (no indicator).
[[nodiscard]] std::int64_t headerOnline(const ProjectSummaryView& view);

// The header's trailing text: the period meta, or for the small size the meta without its
// first part.
[[nodiscard]] std::string headerTrailing(const ProjectSummaryView& view);

// `meta` without its first "·"-separated part: empty parts dropped, the rest joined with "·"
// and trimmed of spaces and tabs at both ends.
[[nodiscard]] std::string withoutFirstPart(const std::string& meta);

}  // namespace vx::views
