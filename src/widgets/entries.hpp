#pragma once

#include <optional>
#include <string>

#include "model/clock.hpp"
#include "model/shared_snapshot.hpp"
#include "widgets/intents.hpp"

namespace vx::widgets {

// One dated entry of a widget's timeline. The kinds share the four fields and differ only in
// their configuration, so each kind's entry is its own type.
template <class Configuration>
struct WidgetEntry {
  using ConfigurationType = Configuration;

  // From when the host shows this entry; also the time the view draws with.
  Time date;
  // What to draw; nothing when there is nothing to show. The entries of one timeline share it.
  SharedSnapshot snapshot;
  // What the empty state says. Set on every entry, also on those that carry a snapshot.
  std::string message;
  Configuration configuration;

  bool operator==(const WidgetEntry&) const = default;
};

using ProjectSummaryEntry = WidgetEntry<ProjectSummaryIntent>;
using AllProjectsEntry = WidgetEntry<AllProjectsIntent>;
using WaitingEntry = WidgetEntry<WaitingIntent>;

}  // namespace vx::widgets
