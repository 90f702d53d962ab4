#pragma once

#include <string>

#include "present/environment.hpp"
#include "ui/element.hpp"

namespace vx::present {

// A message in place of a widget's content: centred lines, filling and centred in all the space
// it is given.
[[nodiscard]] ui::Element EmptyState(const std::string& message, const Environment& env);

}  // namespace vx::present
