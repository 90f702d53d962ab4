#include "present/live_dot.hpp"

namespace vx::present {

ui::Element LiveDot(const Environment& env) {
  const Ink ink(env);
  return ui::circle().fill(ink.live).frame(6, 6);
}

}  // namespace vx::present
