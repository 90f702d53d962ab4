#pragma once

// The floor a widget drawing is measured against: a plain cairo + pango program that draws a
// picture comparable to the largest widget (a header, rows of icon tiles, names, figures and
// badges, bar charts) onto one canvas and encodes it with libpng.

#include <cairo.h>

#include <memory>
#include <string>

namespace vx::bench {

struct PngSettings {
  bool alpha = false;  // RGBA instead of RGB
  int filters = 0;     // libpng's PNG_FILTER_* mask
  int level = 3;       // zlib level
};

struct SurfaceRelease {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
// Pixels in cairo's ARGB32.
using Picture = std::unique_ptr<cairo_surface_t, SurfaceRelease>;

// The comparable picture at `width` × `height` pixels (scale 2).
[[nodiscard]] Picture drawFloorPicture(int width, int height);

// The picture's pixels encoded with `settings`; empty on failure.
[[nodiscard]] std::string encodePicture(const Picture& picture, const PngSettings& settings);

// A PNG file's pixels decoded into a picture, so that encoder settings can be tried on the
// widgets' own images; null when it does not decode.
[[nodiscard]] Picture decodePng(const std::string& png);

}  // namespace vx::bench
