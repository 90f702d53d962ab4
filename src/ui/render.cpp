#include "ui/render.hpp"

#include <cairo-pdf.h>
#include <cairo-svg.h>

#include <cmath>
#include <memory>

#include "ui/cairo_handles.hpp"
#include "ui/painter.hpp"
#include "ui/png_bands.hpp"

namespace vx::ui {

namespace {

// Largest image side cairo's image surfaces accept.
constexpr double kMaxPixels = 32767;

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

bool positiveFinite(double v) {
  return std::isfinite(v) && v > 0;
}

// Paints onto a vector `surface` in points; false when cairo reports an error.
bool paintOn(cairo_surface_t* surface, const Layout& layout, const RenderOptions& options) {
  bool ok = false;
  {
    ContextHandle cr(cairo_create(surface));
    Painter painter(cr.get(), options);
    painter.paint(layout);
    ok = cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
  }
  cairo_surface_flush(surface);
  return ok;
}

}  // namespace

std::string_view rawValue(ImageFormat f) {
  switch (f) {
    case ImageFormat::png:
      return "png";
    case ImageFormat::svg:
      return "svg";
    case ImageFormat::pdf:
      return "pdf";
  }
  return "png";
}

std::optional<ImageFormat> imageFormatFromRaw(std::string_view raw) {
  if (raw == "png") return ImageFormat::png;
  if (raw == "svg") return ImageFormat::svg;
  if (raw == "pdf") return ImageFormat::pdf;
  return std::nullopt;
}

std::optional<RenderResult> render(const Layout& layout, ImageFormat format,
                                   const RenderOptions& options) {
  const Size size = layout.canvasSize();
  if (!positiveFinite(size.width) || !positiveFinite(size.height)) return std::nullopt;

  RenderResult result;
  result.format = format;
  result.size = size;
  result.links = linkMap(layout);
  result.texts = readingOrder(layout);

  if (format == ImageFormat::png) {
    if (!positiveFinite(options.scale)) return std::nullopt;
    const double w = std::ceil(size.width * options.scale);
    const double h = std::ceil(size.height * options.scale);
    if (w > kMaxPixels || h > kMaxPixels) return std::nullopt;
    result.pixelWidth = static_cast<int>(w);
    result.pixelHeight = static_cast<int>(h);
    // One painter for every band: text is laid out and shaped once per image.
    std::unique_ptr<Painter> painter;
    const auto paintBand = [&](cairo_t* cr, int) {
      if (!painter) painter = std::make_unique<Painter>(cr, options);
      cairo_scale(cr, options.scale, options.scale);
      painter->paint(layout);
      return true;
    };
    // Only accented mode leaves the host's backdrop showing through.
    const PngAlpha alpha =
        options.mode == RenderingMode::accented ? PngAlpha::keep : PngAlpha::expectOpaque;
    if (!encodePngInBands(result.pixelWidth, result.pixelHeight, paintBand, alpha, result.bytes)) {
      return std::nullopt;
    }
    return result;
  }

  SurfaceHandle surface;
  if (format == ImageFormat::svg) {
    surface.reset(
        cairo_svg_surface_create_for_stream(appendBytes, &result.bytes, size.width, size.height));
  } else {
    surface.reset(
        cairo_pdf_surface_create_for_stream(appendBytes, &result.bytes, size.width, size.height));
  }
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  bool ok = paintOn(surface.get(), layout, options);
  cairo_surface_finish(surface.get());  // SVG and PDF are written out here
  ok = ok && cairo_surface_status(surface.get()) == CAIRO_STATUS_SUCCESS;
  surface.reset();
  if (!ok) return std::nullopt;
  return result;
}

std::optional<RenderResult> render(const Element& root, Size canvas, ImageFormat format,
                                   const RenderOptions& options) {
  return render(layout(root, canvas), format, options);
}

}  // namespace vx::ui
