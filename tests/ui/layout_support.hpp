#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ui/layout.hpp"

namespace vx::testing {

inline const ui::contents::TextRun* firstText(const ui::Box& box) {
  if (const auto* run = std::get_if<ui::contents::TextRun>(&box.content)) return run;
  for (const auto& child : box.children) {
    if (const auto* run = firstText(*child.box)) return run;
  }
  return nullptr;
}

// The first laid-out text inside the element tagged `tag`; fails the test when there is none.
inline const ui::contents::TextRun& textRun(const ui::Layout& l, const std::string& tag) {
  const ui::Box* box = l.find(tag);
  const ui::contents::TextRun* run = box ? firstText(*box) : nullptr;
  static const ui::contents::TextRun none;
  if (run == nullptr) {
    ADD_FAILURE() << "no text tagged " << tag;
    return none;
  }
  return *run;
}

inline ui::Rect frame(const ui::Layout& l, const std::string& tag) {
  auto r = l.frameOf(tag);
  if (!r) ADD_FAILURE() << "no element tagged " << tag;
  return r.value_or(ui::Rect{});
}

// The width a text takes when nothing limits it.
inline double idealWidth(const ui::Element& e) {
  return ui::layout(e.fixedSize().tag("x"), {10000, 10000}).frameOf("x")->width;
}

}  // namespace vx::testing
