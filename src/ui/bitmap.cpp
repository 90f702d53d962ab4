#include "ui/bitmap.hpp"

#include <cerrno>
#include <cstdint>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx::ui {

namespace {

cairo_status_t readFromDescriptor(void* closure, unsigned char* data, unsigned int length) {
  const int fd = *static_cast<const int*>(closure);
  while (length > 0) {
    const ssize_t count = ::read(fd, data, length);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return CAIRO_STATUS_READ_ERROR;
    data += count;
    length -= static_cast<unsigned int>(count);
  }
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::shared_ptr<const Bitmap> Bitmap::loadPng(const std::string& path) {
  // Opened without blocking and refused unless it is a regular file: a FIFO put in place of a
  // picture would otherwise stop the drawing for good.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return nullptr;
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  cairo_surface_t* s = cairo_image_surface_create_from_png_stream(readFromDescriptor, &fd);
  ::close(fd);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS || cairo_image_surface_get_width(s) <= 0 ||
      cairo_image_surface_get_height(s) <= 0) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  return std::make_shared<const Bitmap>(s);
}

Bitmap::~Bitmap() {
  cairo_surface_destroy(surface_);
}

int Bitmap::width() const {
  return cairo_image_surface_get_width(surface_);
}

int Bitmap::height() const {
  return cairo_image_surface_get_height(surface_);
}

std::shared_ptr<const Bitmap> Bitmap::monochrome() const {
  const int w = width();
  const int h = height();
  cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t* cr = cairo_create(out);
  cairo_set_source_surface(cr, surface_, 0, 0);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(out);
  unsigned char* data = cairo_image_surface_get_data(out);
  const int stride = cairo_image_surface_get_stride(out);
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
  cairo_surface_mark_dirty(out);
  return std::make_shared<const Bitmap>(out);
}

}  // namespace vx::ui
