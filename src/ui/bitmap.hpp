#pragma once

#include <cairo.h>

#include <memory>
#include <string>

#include "ui/cairo_handles.hpp"

namespace vx::ui {

// A decoded image in cairo's 32-bit premultiplied format. Owns its surface.
class Bitmap {
 public:
  // The PNG at `path`, or null when the file is missing, is not a regular file or is not a
  // readable PNG.
  [[nodiscard]] static std::shared_ptr<const Bitmap> loadPng(const std::string& path);

  explicit Bitmap(SurfaceHandle surface) : surface_(std::move(surface)) {}

  [[nodiscard]] int width() const;
  [[nodiscard]] int height() const;
  [[nodiscard]] cairo_surface_t* surface() const { return surface_.get(); }

  // A grey copy (each pixel's luminance, alpha kept), for drawing in accented mode; null when
  // the copy's surface cannot be made.
  [[nodiscard]] std::shared_ptr<const Bitmap> monochrome() const;

 private:
  SurfaceHandle surface_;
};

}  // namespace vx::ui
