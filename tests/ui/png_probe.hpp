#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

#include "ui/color.hpp"

namespace vx::testing {

// Reads pixels back from PNG bytes, so tests can check colours at chosen points.
class PngProbe {
 public:
  explicit PngProbe(const std::string& png) {
    Reader reader{png, 0};
    surface_ = cairo_image_surface_create_from_png_stream(&Reader::read, &reader);
  }
  ~PngProbe() { cairo_surface_destroy(surface_); }
  PngProbe(const PngProbe&) = delete;
  PngProbe& operator=(const PngProbe&) = delete;

  [[nodiscard]] bool ok() const { return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }
  [[nodiscard]] int width() const { return cairo_image_surface_get_width(surface_); }
  [[nodiscard]] int height() const { return cairo_image_surface_get_height(surface_); }

  // The colour at pixel (x, y), opacity included and components un-premultiplied.
  [[nodiscard]] ui::Color at(int x, int y) const {
    cairo_surface_flush(surface_);
    const unsigned char* row =
        cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
    const std::uint32_t p = reinterpret_cast<const std::uint32_t*>(row)[x];
    const double a = (p >> 24) / 255.0;
    auto channel = [&](int shift) { return a == 0 ? 0.0 : ((p >> shift) & 0xFF) / 255.0 / a; };
    return {channel(16), channel(8), channel(0), a};
  }

 private:
  struct Reader {
    const std::string& bytes;
    std::size_t offset;
    static cairo_status_t read(void* closure, unsigned char* data, unsigned int length) {
      auto* r = static_cast<Reader*>(closure);
      if (r->offset + length > r->bytes.size()) return CAIRO_STATUS_READ_ERROR;
      r->bytes.copy(reinterpret_cast<char*>(data), length, r->offset);
      r->offset += length;
      return CAIRO_STATUS_SUCCESS;
    }
  };
  cairo_surface_t* surface_;
};

// Within one step of 8-bit rounding on every component.
inline bool near(const ui::Color& a, const ui::Color& b, double tolerance = 2.5 / 255) {
  return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
         std::abs(a.blue - b.blue) <= tolerance && std::abs(a.opacity - b.opacity) <= tolerance;
}

}  // namespace vx::testing
