#include "png_floor.hpp"

#include <cairo.h>
#include <pango/pangocairo.h>
#include <png.h>

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdint>
#include <string>
#include <vector>

namespace vx::bench {

namespace {

void showText(cairo_t* cr, PangoContext* context, const char* text, double size, int weight,
              double x, double y) {
  PangoLayout* layout = pango_layout_new(context);
  PangoFontDescription* font = pango_font_description_from_string("Inter");
  pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
  pango_font_description_set_weight(font, static_cast<PangoWeight>(weight));
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);
  pango_layout_set_text(layout, text, -1);
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout);
  g_object_unref(layout);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -G_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, G_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, G_PI / 2, G_PI);
  cairo_arc(cr, x + r, y + r, r, G_PI, 3 * G_PI / 2);
  cairo_close_path(cr);
}

// One project row: letter tile, name and site, visitors, a change badge and 14 bars.
void drawRow(cairo_t* cr, PangoContext* context, int index, double x, double y, double w) {
  static const char* const kNames[] = {"Northwind Traders", "Acme Studio", "Blue Harbor",
                                       "Fennel & Co",       "Glasswork",   "Harvest Table"};
  cairo_set_source_rgb(cr, 0.2 + 0.1 * index, 0.4, 0.8 - 0.1 * index);
  roundedRect(cr, x, y + 4, 28, 28, 7);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  showText(cr, context, "N", 15, 700, x + 9, y + 9);
  cairo_set_source_rgb(cr, 0.06, 0.09, 0.16);
  showText(cr, context, kNames[index % 6], 13, 600, x + 38, y + 2);
  cairo_set_source_rgb(cr, 0.39, 0.45, 0.55);
  showText(cr, context, "northwind.example · 12 online", 11, 400, x + 38, y + 20);
  cairo_set_source_rgb(cr, 0.06, 0.09, 0.16);
  showText(cr, context, "12,480", 15, 700, x + w - 210, y + 6);
  cairo_set_source_rgb(cr, 0.86, 0.97, 0.9);
  roundedRect(cr, x + w - 140, y + 8, 46, 20, 10);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 0.09, 0.5, 0.24);
  showText(cr, context, "+12%", 11, 600, x + w - 134, y + 11);
  for (int bar = 0; bar < 14; ++bar) {
    const double h = 6 + ((bar * 7 + index * 3) % 23);
    cairo_set_source_rgb(cr, 0.25, 0.47, 0.95);
    roundedRect(cr, x + w - 84 + bar * 6, y + 32 - h, 4, h, 1.5);
    cairo_fill(cr);
  }
  cairo_set_source_rgb(cr, 0.9, 0.91, 0.93);
  cairo_rectangle(cr, x, y + 40, w, 0.5);
  cairo_fill(cr);
}

void appendToString(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))
      ->append(reinterpret_cast<const char*>(data), length);
}

void flushNothing(png_structp) {}

// Every row in the format the settings ask for, then the file.
bool writeAll(png_structp png, png_infop info, cairo_surface_t* surface,
              const PngSettings& settings) {
  if (setjmp(png_jmpbuf(png))) return false;
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  png_set_IHDR(png, info, width, height, 8,
               settings.alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, settings.filters);
  png_set_compression_level(png, settings.level);
  png_write_info(png, info);
  if (!settings.alpha && std::endian::native == std::endian::little) {
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
  }
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  std::vector<unsigned char> rgba(4 * static_cast<std::size_t>(width));
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * stride;
    if (settings.alpha) {
      // The pictures here are opaque: straight and premultiplied colours are the same.
      for (int x = 0; x < width; ++x) {
        std::uint32_t pixel = 0;
        std::copy_n(row + 4 * x, 4, reinterpret_cast<unsigned char*>(&pixel));
        rgba[4 * x] = static_cast<unsigned char>(pixel >> 16);
        rgba[4 * x + 1] = static_cast<unsigned char>(pixel >> 8);
        rgba[4 * x + 2] = static_cast<unsigned char>(pixel);
        rgba[4 * x + 3] = static_cast<unsigned char>(pixel >> 24);
      }
      png_write_row(png, rgba.data());
    } else {
      png_write_row(png, row);
    }
  }
  png_write_end(png, info);
  return true;
}

cairo_status_t readFrom(void* closure, unsigned char* data, unsigned int length) {
  auto* rest = static_cast<std::string_view*>(closure);
  if (rest->size() < length) return CAIRO_STATUS_READ_ERROR;
  std::copy_n(rest->data(), length, data);
  rest->remove_prefix(length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

Picture drawFloorPicture(int width, int height) {
  Picture picture(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  cairo_t* cr = cairo_create(picture.get());
  cairo_scale(cr, 2, 2);
  PangoContext* context = pango_cairo_create_context(cr);
  const double w = width / 2.0;
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 0.06, 0.09, 0.16);
  showText(cr, context, "All projects", 15, 700, 16, 14);
  cairo_set_source_rgb(cr, 0.39, 0.45, 0.55);
  showText(cr, context, "Last 28 days · 10 projects", 11, 400, w - 200, 17);
  const double column = (w - 48) / 2;
  for (int i = 0; i < 14; ++i) {
    drawRow(cr, context, i, 16 + (i % 2) * (column + 16), 44 + (i / 2) * 46, column);
  }
  g_object_unref(context);
  cairo_destroy(cr);
  cairo_surface_flush(picture.get());
  return picture;
}

std::string encodePicture(const Picture& picture, const PngSettings& settings) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = png && info;
  if (ok) {
    png_set_write_fn(png, &out, appendToString, flushNothing);
    ok = writeAll(png, info, picture.get(), settings);
  }
  png_destroy_write_struct(&png, info ? &info : nullptr);
  return ok ? out : std::string();
}

Picture decodePng(const std::string& png) {
  std::string_view rest = png;
  Picture picture(cairo_image_surface_create_from_png_stream(readFrom, &rest));
  if (cairo_surface_status(picture.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return picture;
}

}  // namespace vx::bench
