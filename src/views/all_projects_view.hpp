#pragma once

#include "model/clock.hpp"
#include "model/snapshot.hpp"
#include "model/widget_period.hpp"
#include "present/environment.hpp"
#include "ui/element.hpp"

namespace vx::views {

// The user's projects side by side for one period: per project its name, a live dot while
// visitors are online, its visitors with their change, and its goal result or what to do next.
// Projects with activity come first. The extra-large size shows the first of them in full beside
// the list of the others. Every row is its own tap target.
struct AllProjectsView {
  enum class Size { medium, large, extraLarge };

  Snapshot snapshot;
  WidgetPeriod period = WidgetPeriod::days7;
  Time now;
  Size size = Size::medium;

  // The view as a render tree, in the colours of `env`'s scheme; reads nothing but the
  // projects' favicon files from `env`'s shared folder.
  [[nodiscard]] ui::Element element(const present::Environment& env) const;
};

}  // namespace vx::views
