#pragma once

#include <optional>

#include "model/snapshot.hpp"
#include "present/environment.hpp"
#include "ui/element.hpp"

namespace vx::present {

// One row of a widget's list, 44 to 56 points high: the project's icon when there is a project,
// the title over the subtitle (served before the rest of the row), then `trailing` at the end.
[[nodiscard]] ui::Element ListRow(const std::optional<ProjectEntry>& project,
                                  const ui::Element& title, const ui::Element& subtitle,
                                  const ui::Element& trailing, const Environment& env);

}  // namespace vx::present
