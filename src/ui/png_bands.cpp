#include "ui/png_bands.hpp"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "ui/band_memory.hpp"
#include "ui/cairo_handles.hpp"

namespace vx::ui {
namespace {

// One band's canvas: a full-size canvas of the largest family at scale 2 is 4.5 MB; bands
// keep the canvas to this size whatever the image's height. Each band paints only the boxes
// across it, so ten bands of the largest family cost about what five did.
constexpr std::size_t kBandBytes = 1 << 19;

// Encoder settings, chosen by measuring the widgets' own images (see bench/README.md): no
// filter and zlib level 3 give files smaller than libpng's defaults (adaptive filters, level 6)
// in a fifth of the time. Widgets are large flat areas with text, where unfiltered rows
// compress best; higher levels cost twice the time for a tenth less.
constexpr int kCompressionLevel = 3;
constexpr int kFilters = PNG_FILTER_NONE;

enum class Outcome { written, failed, translucent };

void appendToString(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))
      ->append(reinterpret_cast<const char*>(data), length);
}

void flushNothing(png_structp) {}

// libpng reports errors by jumping back to the last setjmp. Each step below sets its own
// jump point and holds nothing that needs destroying, so a jump skips no destructor.
bool writeHeader(png_structp png, png_infop info, int width, int height, bool opaque) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, kFilters);
  png_set_compression_level(png, kCompressionLevel);
  png_write_info(png, info);
  return true;
}

bool writeRow(png_structp png, const unsigned char* row) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_write_row(png, row);
  return true;
}

bool writeEnd(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_write_end(png, info);
  return true;
}

// Cairo's opaque pixels are native-endian words 0xFFRRGGBB; PNG wants RGB bytes. Converted
// here in one pass that also checks every pixel for full opacity (the words are and-ed together,
// not tested one by one): false when one is translucent. Faster than libpng's own filler and
// colour-order transforms, which go over each row twice more.
bool toRgb(const unsigned char* source, int width, unsigned char* row) {
  std::uint32_t all = 0xffffffffU;
  for (int x = 0; x < width; ++x) {
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, source + 4 * static_cast<std::ptrdiff_t>(x), sizeof pixel);
    all &= pixel;
    unsigned char* out = row + 3 * static_cast<std::ptrdiff_t>(x);
    out[0] = static_cast<unsigned char>(pixel >> 16);
    out[1] = static_cast<unsigned char>(pixel >> 8);
    out[2] = static_cast<unsigned char>(pixel);
  }
  return (all >> 24) == 0xff;
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

// One band canvas and the context every band is painted through, on memory kept from the last
// image and handed on to the next.
struct Canvas {
  Canvas() = default;
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  ~Canvas() {
    cr.reset();
    if (surface) cairo_surface_finish(surface.get());
    surface.reset();
    keepBandMemory(std::move(memory), bytes);
  }

  BandMemory memory;
  std::size_t bytes = 0;
  SurfaceHandle surface;
  ContextHandle cr;
  int rows = 0;
};

// Paints the band starting at row `top` onto the cleared canvas.
bool paintBandAt(const Canvas& canvas, int top,
                 const std::function<bool(cairo_t* cr, int top)>& paintBand) {
  cairo_t* cr = canvas.cr.get();
  cairo_identity_matrix(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_paint(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_translate(cr, 0, -top);
  cairo_save(cr);
  const bool painted = paintBand(cr, top);
  cairo_restore(cr);
  cairo_surface_flush(canvas.surface.get());
  return painted && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}

Outcome encode(int width, int height, const Canvas& canvas,
               const std::function<bool(cairo_t* cr, int top)>& paintBand, bool opaque,
               std::string& out) {
  PngWriter writer;
  if (!writer.ok()) return Outcome::failed;
  png_set_write_fn(writer.png(), &out, appendToString, flushNothing);
  if (!writeHeader(writer.png(), writer.info(), width, height, opaque)) return Outcome::failed;

  std::vector<unsigned char> converted((opaque ? 3 : 4) * static_cast<std::size_t>(width));
  for (int top = 0; top < height; top += canvas.rows) {
    if (!paintBandAt(canvas, top, paintBand)) return Outcome::failed;
    const unsigned char* pixels = cairo_image_surface_get_data(canvas.surface.get());
    const int stride = cairo_image_surface_get_stride(canvas.surface.get());
    const int rows = std::min(canvas.rows, height - top);
    for (int y = 0; y < rows; ++y) {
      const unsigned char* source = pixels + static_cast<std::ptrdiff_t>(y) * stride;
      if (!opaque) {
        toRgba(source, width, converted.data());
      } else if (!toRgb(source, width, converted.data())) {
        return Outcome::translucent;
      }
      if (!writeRow(writer.png(), converted.data())) return Outcome::failed;
    }
  }
  return writeEnd(writer.png(), writer.info()) ? Outcome::written : Outcome::failed;
}

}  // namespace

bool encodePngInBands(int width, int height,
                      const std::function<bool(cairo_t* cr, int top)>& paintBand, PngAlpha alpha,
                      std::string& out) {
  if (width <= 0 || height <= 0) return false;
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
  if (stride <= 0) return false;
  Canvas canvas;
  canvas.rows =
      std::clamp(static_cast<int>(kBandBytes / static_cast<std::size_t>(stride)), 1, height);
  canvas.bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(canvas.rows);
  canvas.memory = takeBandMemory(canvas.bytes);
  if (!canvas.memory) return false;
  canvas.surface.reset(cairo_image_surface_create_for_data(canvas.memory.get(), CAIRO_FORMAT_ARGB32,
                                                           width, canvas.rows, stride));
  if (cairo_surface_status(canvas.surface.get()) != CAIRO_STATUS_SUCCESS) return false;
  canvas.cr.reset(cairo_create(canvas.surface.get()));
  if (cairo_status(canvas.cr.get()) != CAIRO_STATUS_SUCCESS) return false;

  const std::size_t start = out.size();
  Outcome outcome = Outcome::translucent;
  if (alpha == PngAlpha::expectOpaque) {
    outcome = encode(width, height, canvas, paintBand, true, out);
  }
  if (outcome == Outcome::translucent) {
    out.resize(start);
    outcome = encode(width, height, canvas, paintBand, false, out);
  }
  return outcome == Outcome::written;
}

}  // namespace vx::ui
