#include "views/project_summary_values.hpp"

#include <vector>

#include "format/period_meta.hpp"
#include "present/deep_link.hpp"
#include "views/active.hpp"

namespace vx::views {

namespace {

constexpr std::string_view kPartSeparator = "\u00b7";

std::vector<std::string> nonEmptyParts(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t at = text.find(kPartSeparator, start);
    const std::string part =
        text.substr(start, at == std::string::npos ? std::string::npos : at - start);
    if (!part.empty()) parts.push_back(part);
    if (at == std::string::npos) break;
    start = at + kPartSeparator.size();
  }
  return parts;
}

std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

SummaryValues summaryValues(const ProjectSummaryView& view) {
  SummaryValues v;
  v.days = days(view.period);
  v.metrics = view.project.metrics(view.period);
  v.active = isActive(v.metrics);
  if (v.active) {
    v.goal = v.metrics->goal;
    v.changeToShow = v.metrics->visitorsChange;
  }
  return v;
}

std::optional<std::string> summaryLink(const ProjectSummaryView& view,
                                       const SummaryValues& values) {
  if (values.active && !values.goal) return present::projectGoalsLink(view.project.slug);
  return present::projectLink(view.project.slug);
}

std::int64_t headerOnline(const ProjectSummaryView& view) {
  if (view.size == ProjectSummaryView::Size::small || !(view.now < view.realtimeUntil)) return 0;
  return view.project.realtimeVisitors;
}

std::string headerTrailing(const ProjectSummaryView& view) {
  const std::string meta = periodMeta(view.period, view.updatedAt, view.now, false);
  if (view.size != ProjectSummaryView::Size::small) return meta;
  return withoutFirstPart(meta);
}

std::string withoutFirstPart(const std::string& meta) {
  const std::vector<std::string> parts = nonEmptyParts(meta);
  std::string joined;
  for (std::size_t i = 1; i < parts.size(); ++i) {
    if (i > 1) joined += kPartSeparator;
    joined += parts[i];
  }
  return trimmed(joined);
}

}  // namespace vx::views
