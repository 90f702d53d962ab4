#pragma once

#include <cairo.h>

#include <memory>

namespace vx::ui {

// Owners for cairo's reference-counted objects: each releases its one reference when it goes,
// on every path out of the code that made it.

struct SurfaceRelease {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using SurfaceHandle = std::unique_ptr<cairo_surface_t, SurfaceRelease>;

struct ContextRelease {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using ContextHandle = std::unique_ptr<cairo_t, ContextRelease>;

}  // namespace vx::ui
