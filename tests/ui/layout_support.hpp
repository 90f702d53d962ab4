#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ui/layout.hpp"

namespace vx::ui::testing {

inline const contents::TextRun* firstText(const Box& box) {
  if (const auto* run = std::get_if<contents::TextRun>(&box.content)) return run;
  for (const auto& child : box.children) {
    if (const auto* run = firstText(*child.box)) return run;
  }
  return nullptr;
}

// The first laid-out text inside the element tagged `tag`; fails the test when there is none.
inline const contents::TextRun& textRun(const Layout& l, const std::string& tag) {
  const Box* box = l.find(tag);
  const contents::TextRun* run = box ? firstText(*box) : nullptr;
  static const contents::TextRun none;
  if (run == nullptr) {
    ADD_FAILURE() << "no text tagged " << tag;
    return none;
  }
  return *run;
}

inline Rect frame(const Layout& l, const std::string& tag) {
  auto r = l.frameOf(tag);
  if (!r) ADD_FAILURE() << "no element tagged " << tag;
  return r.value_or(Rect{});
}

// The width a text takes when nothing limits it.
inline double idealWidth(const Element& e) {
  return layout(e.fixedSize().tag("x"), {10000, 10000}).frameOf("x")->width;
}

}  // namespace vx::ui::testing
