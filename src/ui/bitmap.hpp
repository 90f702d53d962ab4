#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>

#include "ui/cairo_handles.hpp"

namespace vx::ui {

// The largest image side, in pixels, that is decoded. Widgets draw icons of a few dozen points;
// a larger file is refused before it is decoded rather than held in memory whole.
inline constexpr std::uint32_t kMaxImageSide = 1024;

// A decoded image in cairo's 32-bit premultiplied format. Owns its surface.
class Bitmap {
 public:
  // The PNG at `path`, or null when the file is missing, is a symbolic link (not followed) or
  // anything else but a regular file, is not a readable PNG or is more than kMaxImageSide
  // pixels wide or high. The thread keeps what it decoded: while the same version of the file
  // stands there (device, inode, size, modification and change times), it gets the same image.
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
