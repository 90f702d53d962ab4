#include "ui/band_memory.hpp"

#include <gtest/gtest.h>

namespace vx::ui {
namespace {

// The kept block serves an image that fits in it; one that needs more gets a block of its own,
// which then is the one kept.
TEST(BandMemory, AKeptBlockServesOnlyImagesThatFitInIt) {
  releaseBandMemory();
  BandMemory small = takeBandMemory(1000);
  ASSERT_TRUE(small);
  const unsigned char* smallAt = small.get();
  keepBandMemory(std::move(small), 1000);

  BandMemory again = takeBandMemory(600);
  EXPECT_EQ(again.get(), smallAt);
  keepBandMemory(std::move(again), 1000);

  BandMemory larger = takeBandMemory(4000);  // the small block is still kept meanwhile
  ASSERT_TRUE(larger);
  EXPECT_NE(larger.get(), smallAt);
  const unsigned char* largerAt = larger.get();
  keepBandMemory(std::move(larger), 4000);
  EXPECT_EQ(takeBandMemory(4000).get(), largerAt);
  releaseBandMemory();
}

}  // namespace
}  // namespace vx::ui
