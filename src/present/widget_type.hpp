#pragma once

#include "ui/text_style.hpp"

namespace vx::present {

// The widgets' type scale: fixed point sizes that never follow the user's text size.
struct WidgetType {
  static constexpr ui::Font title{13, ui::Weight::semibold};
  static constexpr ui::Font label{12, ui::Weight::medium};
  static constexpr ui::Font detail{12, ui::Weight::medium};
  static constexpr ui::Font change{12, ui::Weight::semibold};
  static constexpr ui::Font hero{30, ui::Weight::semibold};
  static constexpr ui::Font tile{26, ui::Weight::semibold};
  static constexpr ui::Font rowName{14, ui::Weight::semibold};
  static constexpr ui::Font rowFigure{17, ui::Weight::semibold};
};

}  // namespace vx::present
