#pragma once

#include "ui/ui.hpp"

namespace vx::bench {

// A systemLarge widget much like the project list: a header, six rows with icon tiles, names,
// live dots, figures and change badges, separators, a small chart, and a footer.
[[nodiscard]] ui::Element sampleWidget();

// How many boxes a layout holds (every element and modifier counts once).
[[nodiscard]] int boxCount(const ui::Layout& layout);

}  // namespace vx::bench
