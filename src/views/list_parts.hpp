#pragma once

#include <string>

#include "present/ink.hpp"
#include "ui/element.hpp"

// Pieces shared by the views that list rows under their header.
namespace vx::views {

// The line between two rows: 1 point high, starting under the row text (past the 28-point icon
// and the 10-point gap beside it).
[[nodiscard]] ui::Element listSeparator(const present::Ink& ink);

// The line under a list that says how much it left out ("4 more"), at the bottom of a box 20
// points high.
[[nodiscard]] ui::Element listFooter(const std::string& text, const present::Ink& ink);

}  // namespace vx::views
