// The cold floor: a whole process that draws the plain cairo + pango picture of the largest
// family (1496x764 pixels) and writes it as a PNG with the widgets' encoder settings. A cold
// `vantorix-widgets render` is measured against it (bench/widgets/cold_render.sh).

#include <png.h>

#include <cstdio>
#include <fstream>

#include "png_floor.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
    return 2;
  }
  const vx::bench::Picture picture = vx::bench::drawFloorPicture(1496, 764);
  const std::string png = vx::bench::encodePicture(picture, {false, PNG_FILTER_NONE, 3});
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(png.data(), static_cast<std::streamsize>(png.size()));
  return png.empty() || !out ? 1 : 0;
}
