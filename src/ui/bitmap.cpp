#include "ui/bitmap.hpp"

#include <cstdint>

namespace vx::ui {

std::shared_ptr<const Bitmap> Bitmap::loadPng(const std::string& path) {
  SurfaceHandle s(cairo_image_surface_create_from_png(path.c_str()));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS ||
      cairo_image_surface_get_width(s.get()) <= 0 || cairo_image_surface_get_height(s.get()) <= 0) {
    return nullptr;
  }
  return std::make_shared<const Bitmap>(std::move(s));
}

int Bitmap::width() const {
  return cairo_image_surface_get_width(surface_.get());
}

int Bitmap::height() const {
  return cairo_image_surface_get_height(surface_.get());
}

std::shared_ptr<const Bitmap> Bitmap::monochrome() const {
  const int w = width();
  const int h = height();
  SurfaceHandle out(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
  if (cairo_surface_status(out.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  {
    ContextHandle cr(cairo_create(out.get()));
    cairo_set_source_surface(cr.get(), surface_.get(), 0, 0);
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr.get());
  }
  cairo_surface_flush(out.get());
  unsigned char* data = cairo_image_surface_get_data(out.get());
  const int stride = cairo_image_surface_get_stride(out.get());
  for (int y = 0; y < h; ++y) {
    auto* px = reinterpret_cast<std::uint32_t*>(data + y * stride);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = px[x];
      const std::uint32_t a = p >> 24;
      const std::uint32_t r = (p >> 16) & 0xFF;
      const std::uint32_t g = (p >> 8) & 0xFF;
      const std::uint32_t b = p & 0xFF;
      // Premultiplied components stay premultiplied: a weighted sum of them is too.
      const std::uint32_t grey = (r * 54 + g * 183 + b * 19) >> 8;
      px[x] = (a << 24) | (grey << 16) | (grey << 8) | grey;
    }
  }
  cairo_surface_mark_dirty(out.get());
  return std::make_shared<const Bitmap>(std::move(out));
}

}  // namespace vx::ui
