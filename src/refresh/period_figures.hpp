#pragma once

// A period's figures for every project: the service's summary, day series and goal report
// condensed into `PeriodMetrics`.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "api/client.hpp"
#include "model/snapshot.hpp"

namespace vx::refresh {

// Every project's figures for the period, keyed by slug, fetched for all projects at once.
// A project whose figures cannot be obtained is left out; nothing when no project's could be
// (an empty list included). Never throws.
[[nodiscard]] std::optional<std::map<std::string, PeriodMetrics>> fetchFigures(
    const std::vector<ProjectEntry>& projects, WidgetPeriod period, const api::Client& client);

// One project's figures for the period (its slug and time zone are used), or nothing when its
// summary cannot be obtained. At most five requests in two rounds: summary and series together,
// then, once the summary is in, the previous period's series and the goal's two reports (the
// period's and the previous period's) side by side. Never throws.
[[nodiscard]] std::optional<PeriodMetrics> metrics(const ProjectEntry& project, WidgetPeriod period,
                                                   const api::Client& client);

}  // namespace vx::refresh
