#include "demo/favicons.hpp"

#include <cstdint>
#include <memory>
#include <numbers>

#include <cairo.h>

#include "demo/dice.hpp"

namespace vx::demo {
namespace {

constexpr double kPi = std::numbers::pi;

struct Rgb {
  double r, g, b;
};

// Calm brand-like colours; the site picks one by its name.
constexpr Rgb kColours[] = {{0.11, 0.46, 0.74}, {0.80, 0.33, 0.18}, {0.17, 0.55, 0.34},
                            {0.49, 0.30, 0.71}, {0.85, 0.60, 0.10}, {0.13, 0.13, 0.16}};

cairo_status_t appendToString(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

void roundedSquare(cairo_t* cr, double size, double radius) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, size - radius, radius, radius, -kPi / 2, 0);
  cairo_arc(cr, size - radius, size - radius, radius, 0, kPi / 2);
  cairo_arc(cr, radius, size - radius, radius, kPi / 2, kPi);
  cairo_arc(cr, radius, radius, radius, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

// A white mark on the tile, one of a few simple logo shapes chosen by the site (drawn as
// shapes rather than text, so no font machinery is involved).
void mark(cairo_t* cr, double size, std::uint32_t shape) {
  const double c = size / 2;
  cairo_set_source_rgb(cr, 1, 1, 1);
  switch (shape) {
    case 0:  // a disc
      cairo_arc(cr, c, c, size * 0.24, 0, 2 * kPi);
      cairo_fill(cr);
      break;
    case 1:  // a ring
      cairo_set_line_width(cr, size * 0.1);
      cairo_arc(cr, c, c, size * 0.22, 0, 2 * kPi);
      cairo_stroke(cr);
      break;
    case 2:  // a triangle
      cairo_move_to(cr, c, size * 0.24);
      cairo_line_to(cr, size * 0.76, size * 0.72);
      cairo_line_to(cr, size * 0.24, size * 0.72);
      cairo_close_path(cr);
      cairo_fill(cr);
      break;
    default:  // two bars
      cairo_rectangle(cr, size * 0.28, size * 0.26, size * 0.16, size * 0.48);
      cairo_rectangle(cr, size * 0.56, size * 0.26, size * 0.16, size * 0.48);
      cairo_fill(cr);
      break;
  }
}

}  // namespace

std::optional<std::string> drawIcon(const std::string& host, int size) {
  using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
  using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size),
                  cairo_surface_destroy);
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  Context cr(cairo_create(surface.get()), cairo_destroy);

  Dice dice("icon|" + host);
  const Rgb colour = kColours[dice.below(std::size(kColours))];
  const double extent = size;
  roundedSquare(cr.get(), extent, extent * 0.22);
  cairo_set_source_rgb(cr.get(), colour.r, colour.g, colour.b);
  cairo_fill(cr.get());

  mark(cr.get(), extent, dice.below(4));
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;

  cairo_surface_flush(surface.get());
  std::string png;
  if (cairo_surface_write_to_png_stream(surface.get(), appendToString, &png) !=
      CAIRO_STATUS_SUCCESS) {
    return std::nullopt;
  }
  return png;
}

Favicons::Favicons(const std::vector<Profile>& projects) {
  for (const Profile& p : projects) hosts_[p.domain] = p.hasIcon;
}

std::optional<std::string> Favicons::icon(const std::string& host) {
  const auto known = hosts_.find(host);
  if (known == hosts_.end() || !known->second) return std::nullopt;
  std::lock_guard lock(mutex_);
  auto drawn = drawn_.find(host);
  if (drawn == drawn_.end()) {
    auto png = drawIcon(host);
    if (!png) return std::nullopt;
    drawn = drawn_.emplace(host, std::move(*png)).first;
  }
  return drawn->second;
}

}  // namespace vx::demo
