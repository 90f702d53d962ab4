#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

namespace vx::ui {

// The memory a PNG's bands are painted in. A burst of drawings would otherwise map half a
// megabyte, fault it in page by page and give it back for every image; the last one is kept for the
// next image instead, until `releaseBandMemory` gives it back to the system (the extension does
// once its drawings stop for a while). Safe to use from any thread; one block is kept at most.
struct BandMemoryFree {
  void operator()(unsigned char* p) const { std::free(p); }
};
using BandMemory = std::unique_ptr<unsigned char[], BandMemoryFree>;

// The kept block when it holds `bytes`, else a new one; null when memory runs out.
[[nodiscard]] BandMemory takeBandMemory(std::size_t bytes);
// Keeps `memory` (of `bytes`) for the next image, in place of a smaller kept one.
void keepBandMemory(BandMemory memory, std::size_t bytes);
// Gives the kept block back to the system.
void releaseBandMemory();

}  // namespace vx::ui
