#pragma once

#include <vector>

#include "model/clock.hpp"
#include "model/snapshot.hpp"
#include "present/environment.hpp"
#include "ui/element.hpp"
#include "views/waiting_view.hpp"

// The waiting view's blocks below its header; one per state of the list.
namespace vx::views::waiting {

// Nothing waiting: a check mark and a reassuring line at the bottom left.
[[nodiscard]] ui::Element caughtUp(const present::Environment& env);

// The small size: the number of items and what they are.
[[nodiscard]] ui::Element counts(const std::vector<WaitingItem>& waiting,
                                 const present::Environment& env);

// The medium and large sizes: the first items as rows, and how many more there are.
[[nodiscard]] ui::Element list(const std::vector<WaitingItem>& waiting, const Snapshot& snapshot,
                               bool showDetails, Time now, WaitingView::Size size,
                               const present::Environment& env);

}  // namespace vx::views::waiting
