#pragma once

#include <optional>
#include <string>

#include "present/environment.hpp"
#include "ui/element.hpp"

namespace vx::present {

// A headline figure: its label above, then the formatted value (accentable, shrinking to half its
// size before it is cut) with the change badge beside it on the same baseline.
[[nodiscard]] ui::Element Metric(const std::string& label, const std::string& value,
                                 std::optional<double> change, ui::Font font,
                                 const Environment& env);

}  // namespace vx::present
