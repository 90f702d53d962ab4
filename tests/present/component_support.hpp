#pragma once

// Lays components out inside real widgets and reads back where their texts and shapes landed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/snapshot.hpp"
#include "present/environment.hpp"
#include "ui/layout_support.hpp"
#include "ui/ui.hpp"

namespace vx::testing {

// The sizes the host gives the widget families.
inline constexpr ui::Size kSmall{170, 170};
inline constexpr ui::Size kMedium{364, 170};
inline constexpr ui::Size kLarge{364, 382};

inline const present::Environment kLight{present::ColorScheme::light, std::nullopt};
inline const present::Environment kDark{present::ColorScheme::dark, std::nullopt};

// A project with a letter icon and nothing loaded for it.
inline ProjectEntry acme() {
  ProjectEntry p;
  p.name = "Acme";
  p.slug = "acme";
  p.faviconLetter = "A";
  p.faviconColor = "#0e7490";
  return p;
}

// `content` at the top of a widget of `family`, left-aligned, as the views place their pieces.
inline ui::Layout inWidget(const ui::Element& content, ui::Size family) {
  return ui::layout(
      ui::widgetContainer(ui::column({content, ui::spacer()}).align(ui::HAlign::leading),
                          ui::rectangle().fill(ui::Color::white())),
      family);
}

struct LaidText {
  std::string text;
  ui::Rect frame;
  ui::contents::TextRun run;
  bool accentable = false;  // inside the accent group
};

// Every text in reading order, with its frame on the canvas.
inline std::vector<LaidText> texts(const ui::Layout& l) {
  std::vector<LaidText> out;
  std::vector<bool> accentAt;  // per depth: inside an accentable box
  l.visit([&](const ui::Box& box, const ui::Rect& frame, int depth) {
    accentAt.resize(static_cast<std::size_t>(depth) + 1);
    const bool parent = depth > 0 && accentAt[static_cast<std::size_t>(depth) - 1];
    accentAt[static_cast<std::size_t>(depth)] = parent || box.accentable;
    if (const auto* run = std::get_if<ui::contents::TextRun>(&box.content)) {
      out.push_back({run->source, frame, *run, accentAt[static_cast<std::size_t>(depth)]});
    }
  });
  return out;
}

// The one text whose source is `source`; fails the test when there is not exactly one.
inline LaidText textNamed(const ui::Layout& l, const std::string& source) {
  LaidText found;
  int count = 0;
  for (const auto& t : texts(l)) {
    if (t.text == source) {
      found = t;
      ++count;
    }
  }
  if (count != 1) ADD_FAILURE() << count << " texts \"" << source << "\"";
  return found;
}

// Frames of every box of a kind ("shape", "image", ...), in reading order.
inline std::vector<ui::Rect> framesOfKind(const ui::Layout& l, std::string_view kind) {
  std::vector<ui::Rect> out;
  l.visit([&](const ui::Box& box, const ui::Rect& frame, int) {
    if (box.kind == kind) out.push_back(frame);
  });
  return out;
}

}  // namespace vx::testing
