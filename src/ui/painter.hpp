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
// Lines of text are shaped once and kept for the thread's later drawings (see ShapedLines), so
// painting one layout band after band, or the same texts image after image, shapes them once.
class ShapedLines;

class Painter {
 public:
  Painter(cairo_t* cr, const RenderOptions& options);
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  void paint(const Layout& layout);

  // A rectangle by its corners.
  struct Extent {
    double x0 = 0;
    double y0 = 0;
    double x1 = 0;
    double y1 = 0;
  };

 private:
  // `parent` is where the parent box's corner lies in the layout's coordinates.
  void paintBox(const Box& box, Point origin, Point parent, bool accent);
  const Extent& reach(const Box& box);
  void paintContent(const Box& box, bool accent);
  void paintText(const contents::TextRun& run, bool accent);
  void paintItems(const std::vector<ShapeItem>& items, bool accent);
  void paintPicture(const contents::Picture& picture, Size size);
  void setColor(Color c, bool accent);

  cairo_t* cr_;
  RenderOptions options_;
  ShapedLines* lines_;
  Extent painted_;                                // of the current paint, in layout coordinates
  std::unordered_map<const Box*, Extent> reach_;  // each box's with everything inside it
};

}  // namespace vx::ui
