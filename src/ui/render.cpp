#include "ui/render.hpp"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ui/cairo_handles.hpp"
#include "ui/painter.hpp"

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

// Paints onto `surface` (already sized) and finishes it; false when cairo reports an error.
bool paintOn(cairo_surface_t* surface, const Layout& layout, const RenderOptions& options,
             double scale) {
  bool ok = false;
  {
    ContextHandle cr(cairo_create(surface));
    cairo_scale(cr.get(), scale, scale);
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

  SurfaceHandle surface;
  double scale = 1;
  switch (format) {
    case ImageFormat::png: {
      if (!positiveFinite(options.scale)) return std::nullopt;
      const double w = std::ceil(size.width * options.scale);
      const double h = std::ceil(size.height * options.scale);
      if (w > kMaxPixels || h > kMaxPixels) return std::nullopt;
      result.pixelWidth = static_cast<int>(w);
      result.pixelHeight = static_cast<int>(h);
      surface.reset(
          cairo_image_surface_create(CAIRO_FORMAT_ARGB32, result.pixelWidth, result.pixelHeight));
      scale = options.scale;
      break;
    }
    case ImageFormat::svg:
      surface.reset(
          cairo_svg_surface_create_for_stream(appendBytes, &result.bytes, size.width, size.height));
      break;
    case ImageFormat::pdf:
      surface.reset(
          cairo_pdf_surface_create_for_stream(appendBytes, &result.bytes, size.width, size.height));
      break;
  }
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  bool ok = paintOn(surface.get(), layout, options, scale);
  if (ok && format == ImageFormat::png) {
    ok = cairo_surface_write_to_png_stream(surface.get(), appendBytes, &result.bytes) ==
         CAIRO_STATUS_SUCCESS;
  }
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

bool writeImage(const RenderResult& result, const std::string& path) {
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  const char* data = result.bytes.data();
  std::size_t left = result.bytes.size();
  bool ok = true;
  while (left > 0) {
    const ssize_t n = ::write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  ok = ok && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(temp.c_str());
  return ok;
}

}  // namespace vx::ui
