#pragma once

#include <functional>
#include <string>

#include <cairo.h>

namespace vx::ui {

// Encodes a PNG of `width` × `height` pixels without holding the whole image: the picture is
// painted band by band into one canvas of at most about 1 MiB, and each band's rows go to the
// encoder before the next band is painted. `paintBand` draws the picture onto the cleared
// canvas moved up by `top` pixels (the band's first row) and answers false when painting
// failed. Appends the PNG to `out`; false when painting or encoding failed (then `out` holds
// a partial file the caller drops).
[[nodiscard]] bool encodePngInBands(int width, int height,
                                    const std::function<bool(cairo_t* cr, int top)>& paintBand,
                                    std::string& out);

}  // namespace vx::ui
