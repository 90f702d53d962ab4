#pragma once

#include "model/clock.hpp"
#include "model/shared_snapshot.hpp"
#include "model/snapshot.hpp"
#include "present/environment.hpp"
#include "ui/element.hpp"

namespace vx::views {

// What is waiting on the user across all projects: conversations to answer and articles to
// finish. The small size shows the counts and links as a whole to the first item; the larger
// sizes list the first items, each row linking to its item. With `showDetails` off no visitor's
// name or message appears, only neutral wording.
struct WaitingView {
  enum class Size { small, medium, large };

  SharedSnapshot snapshot;  // shared with the entry drawn; nothing reads as an empty snapshot
  bool showDetails = false;
  Time now;
  Size size = Size::medium;

  [[nodiscard]] ui::Element element(const present::Environment& env) const;
};

}  // namespace vx::views
