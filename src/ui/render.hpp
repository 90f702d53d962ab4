#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/layout.hpp"
#include "ui/link_map.hpp"
#include "ui/reading_order.hpp"
#include "ui/render_options.hpp"

namespace vx::ui {

enum class ImageFormat { png, svg, pdf };

[[nodiscard]] std::string_view rawValue(ImageFormat f);
[[nodiscard]] std::optional<ImageFormat> imageFormatFromRaw(std::string_view raw);

// A drawn widget: the encoded image and where its links are. Drawing writes no file: the
// caller stores the bytes with the shared store's whole-file writer.
struct RenderResult {
  ImageFormat format = ImageFormat::png;
  std::string bytes;    // the PNG, SVG or PDF file's contents
  Size size;            // in points
  int pixelWidth = 0;   // PNG only
  int pixelHeight = 0;  // PNG only
  std::vector<LinkArea> links;
  std::vector<TextArea> texts;  // in reading order
};

// Paints a layout. PNG is drawn at options.scale pixels per point (rounded up to whole pixels);
// SVG and PDF are drawn in points. Absent when the canvas cannot be made: a size or scale that
// is not a positive finite number, or a PNG too large for the image library.
[[nodiscard]] std::optional<RenderResult> render(const Layout& layout, ImageFormat format,
                                                 const RenderOptions& options = {});

// Lays out and paints in one go.
[[nodiscard]] std::optional<RenderResult> render(const Element& root, Size canvas,
                                                 ImageFormat format,
                                                 const RenderOptions& options = {});

}  // namespace vx::ui
