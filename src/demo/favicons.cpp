#include "demo/favicons.hpp"

#include <cctype>
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

// The first letter or digit of the host, upper-cased ("?" when there is none).
std::string initial(const std::string& host) {
  for (char c : host) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
  }
  return "?";
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

  const std::string letter = initial(host);
  cairo_select_font_face(cr.get(), "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr.get(), extent * 0.6);
  cairo_text_extents_t box;
  cairo_text_extents(cr.get(), letter.c_str(), &box);
  cairo_move_to(cr.get(), (extent - box.width) / 2 - box.x_bearing,
                (extent - box.height) / 2 - box.y_bearing);
  cairo_set_source_rgb(cr.get(), 1, 1, 1);
  cairo_show_text(cr.get(), letter.c_str());
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
  for (const Profile& p : projects) hosts_[p.iconHost] = p.hasIcon;
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
