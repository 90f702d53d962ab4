#include "ui/png_bands.hpp"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <vector>

#include "ui/cairo_handles.hpp"

namespace vx::ui {
namespace {

// One band's canvas: a full-size canvas of the largest family at scale 2 is 4.5 MB; bands
// keep the canvas to this size whatever the image's height.
constexpr std::size_t kBandBytes = 1 << 20;

void appendToString(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))
      ->append(reinterpret_cast<const char*>(data), length);
}

void flushNothing(png_structp) {}

// libpng reports errors by jumping back to the last setjmp. Each step below sets its own
// jump point and holds nothing that needs destroying, so a jump skips no destructor.
bool writeHeader(png_structp png, png_infop info, int width, int height) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  return true;
}

bool writeRow(png_structp png, png_bytep row) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_write_row(png, row);
  return true;
}

bool writeEnd(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_write_end(png, info);
  return true;
}

// Cairo's pixels are premultiplied native-endian ARGB words; PNG wants straight RGBA bytes.
void toRgba(const unsigned char* source, int width, unsigned char* row) {
  for (int x = 0; x < width; ++x) {
    std::uint32_t pixel = 0;
    std::copy_n(source + 4 * x, 4, reinterpret_cast<unsigned char*>(&pixel));
    const unsigned alpha = pixel >> 24;
    unsigned char* out = row + 4 * x;
    if (alpha == 0) {
      std::fill_n(out, 4, 0);
      continue;
    }
    const auto straight = [alpha](unsigned c) {
      return static_cast<unsigned char>((c * 255 + alpha / 2) / alpha);
    };
    out[0] = straight((pixel >> 16) & 0xff);
    out[1] = straight((pixel >> 8) & 0xff);
    out[2] = straight(pixel & 0xff);
    out[3] = static_cast<unsigned char>(alpha);
  }
}

// The libpng write structures, released together.
class PngWriter {
 public:
  PngWriter() {
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png_) info_ = png_create_info_struct(png_);
  }
  ~PngWriter() { png_destroy_write_struct(&png_, info_ ? &info_ : nullptr); }
  PngWriter(const PngWriter&) = delete;
  PngWriter& operator=(const PngWriter&) = delete;

  [[nodiscard]] bool ok() const { return png_ && info_; }
  [[nodiscard]] png_structp png() const { return png_; }
  [[nodiscard]] png_infop info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

}  // namespace

bool encodePngInBands(int width, int height,
                      const std::function<bool(cairo_t* cr, int top)>& paintBand,
                      std::string& out) {
  if (width <= 0 || height <= 0) return false;
  const int bandRows =
      std::clamp(static_cast<int>(kBandBytes / (4 * static_cast<std::size_t>(width))), 1, height);
  SurfaceHandle canvas(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, bandRows));
  if (cairo_surface_status(canvas.get()) != CAIRO_STATUS_SUCCESS) return false;

  PngWriter writer;
  if (!writer.ok()) return false;
  png_set_write_fn(writer.png(), &out, appendToString, flushNothing);
  if (!writeHeader(writer.png(), writer.info(), width, height)) return false;

  std::vector<unsigned char> row(4 * static_cast<std::size_t>(width));
  for (int top = 0; top < height; top += bandRows) {
    {
      ContextHandle cr(cairo_create(canvas.get()));
      cairo_set_operator(cr.get(), CAIRO_OPERATOR_CLEAR);
      cairo_paint(cr.get());
      cairo_set_operator(cr.get(), CAIRO_OPERATOR_OVER);
      cairo_translate(cr.get(), 0, -top);
      if (!paintBand(cr.get(), top) || cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
        return false;
      }
    }
    cairo_surface_flush(canvas.get());
    const unsigned char* pixels = cairo_image_surface_get_data(canvas.get());
    const int stride = cairo_image_surface_get_stride(canvas.get());
    const int rows = std::min(bandRows, height - top);
    for (int y = 0; y < rows; ++y) {
      toRgba(pixels + static_cast<std::ptrdiff_t>(y) * stride, width, row.data());
      if (!writeRow(writer.png(), row.data())) return false;
    }
  }
  return writeEnd(writer.png(), writer.info());
}

}  // namespace vx::ui
