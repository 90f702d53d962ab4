#pragma once

#include <cairo.h>

#include <unordered_map>

#include "ui/font.hpp"
#include "ui/layout.hpp"
#include "ui/render_options.hpp"

namespace vx::ui {

// Paints a laid-out tree on a cairo context whose user space is in points (the caller applies
// any pixel scale). In accented mode the container background is left out, the accent group is
// drawn in the tint colour and everything else in the plain colour, each keeping its opacity.
// A painter that paints one layout several times (once per band of an image) shapes each line
// of text once: it keeps the shaped lines for as long as it lives, so it must not outlive the
// layouts it painted.
class Painter {
 public:
  Painter(cairo_t* cr, const RenderOptions& options);
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  void paint(const Layout& layout);

 private:
  void paintBox(const Box& box, Point origin, bool accent);
  void paintContent(const Box& box, bool accent);
  void paintText(const contents::TextRun& run, bool accent);
  void paintItems(const std::vector<ShapeItem>& items, bool accent);
  void paintPicture(const contents::Picture& picture, Size size);
  void setColor(Color c, bool accent);
  PangoLayout* lineLayout(const TextLine& line, const FontSpec& font);

  cairo_t* cr_;
  RenderOptions options_;
  GObjectPtr<PangoContext> pango_;
  std::unordered_map<const TextLine*, GObjectPtr<PangoLayout>> shaped_;
};

}  // namespace vx::ui
