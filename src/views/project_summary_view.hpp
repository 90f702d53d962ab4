#pragma once

#include "model/clock.hpp"
#include "model/snapshot.hpp"
#include "model/widget_period.hpp"
#include "present/environment.hpp"
#include "ui/element.hpp"

namespace vx::views {

// One project for one period: the goal result (or the visitors) as a headline figure, the daily
// chart, the visitors online now and, where the period has no goal or no traffic, a note on what
// to do next. The whole view is one tap target.
struct ProjectSummaryView {
  enum class Size { small, medium, panel };

  ProjectEntry project;
  WidgetPeriod period = WidgetPeriod::days7;
  Time updatedAt;
  Time realtimeUntil;  // until when the online count is current
  Time now;
  Size size = Size::medium;

  // The view as a render tree, in the colours of `env`'s scheme; reads nothing but the
  // project's favicon file from `env`'s shared folder.
  [[nodiscard]] ui::Element element(const present::Environment& env) const;
};

}  // namespace vx::views
