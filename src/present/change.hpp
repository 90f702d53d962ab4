#pragma once

#include <optional>
#include <string>

#include "present/environment.hpp"
#include "ui/element.hpp"

namespace vx::present {

// The badge text of a change in percent: "↑12%" or "↓3%", the whole percent rounded half away
// from zero; beyond 9999 either way, "↑9999+%" or "↓9999+%". Nothing when there is no value,
// when it rounds to 0, or when it is not a finite number.
[[nodiscard]] std::optional<std::string> changeText(std::optional<double> value);

// The change badge in `font`: green up, red down. The empty element (no space at all) when
// changeText gives nothing.
[[nodiscard]] ui::Element Change(std::optional<double> value, ui::Font font,
                                 const Environment& env);

}  // namespace vx::present
