#pragma once

#include <functional>
#include <string>

#include <cairo.h>

namespace vx::ui {

// What the caller knows of the picture's opacity before it is painted.
enum class PngAlpha {
  expectOpaque,  // written as RGB; should a pixel turn out translucent, written again as RGBA
  keep,          // written as RGBA
};

// Encodes a PNG of `width` × `height` pixels without holding the whole image: the picture is
// painted band by band into one canvas of at most about 512 KiB (on memory kept from one image to
// the next, see band_memory.hpp), and each band's rows go to the encoder before the next band
// is painted. `paintBand` draws the picture onto the cleared
// canvas moved up by `top` pixels (the band's first row) and answers false when painting
// failed; every band is painted through the same context, so what the caller keeps of it
// (a font context, shaped text) serves all bands. Appends the PNG to `out`; false when
// painting or encoding failed (then `out` holds a partial file the caller drops).
[[nodiscard]] bool encodePngInBands(int width, int height,
                                    const std::function<bool(cairo_t* cr, int top)>& paintBand,
                                    PngAlpha alpha, std::string& out);

}  // namespace vx::ui
