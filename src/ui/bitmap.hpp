#pragma once

#include <cairo.h>

#include <memory>
#include <string>

namespace vx::ui {

// A decoded image in cairo's 32-bit premultiplied format. Owns its surface.
class Bitmap {
 public:
  // The PNG at `path`, or null when the file is missing or is not a readable PNG.
  [[nodiscard]] static std::shared_ptr<const Bitmap> loadPng(const std::string& path);

  explicit Bitmap(cairo_surface_t* surface) : surface_(surface) {}
  ~Bitmap();
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  [[nodiscard]] int width() const;
  [[nodiscard]] int height() const;
  [[nodiscard]] cairo_surface_t* surface() const { return surface_; }

  // A grey copy (each pixel's luminance, alpha kept), for drawing in accented mode.
  [[nodiscard]] std::shared_ptr<const Bitmap> monochrome() const;

 private:
  cairo_surface_t* surface_;
};

}  // namespace vx::ui
