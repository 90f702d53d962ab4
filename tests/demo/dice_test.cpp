#include "demo/dice.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vx::demo {
namespace {

std::mt19937 engineFor(const std::string& key) {
  std::vector<std::uint32_t> bytes(key.begin(), key.end());
  std::seed_seq sequence(bytes.begin(), bytes.end());
  return std::mt19937(sequence);
}

// The draws a key gives are those of an engine freshly seeded from it: the first time, again
// from what the process kept, and past the kept draws.
TEST(Dice, KeyedDrawsMatchAFreshEngineWhetherKeptOrNot) {
  for (const std::string key : {"visitors|northwind|20500", "form|atlas-bikes|20499", ""}) {
    for (int round = 0; round < 2; ++round) {
      std::mt19937 expected = engineFor(key);
      Dice dice(key);
      for (int i = 0; i < 5; ++i) {
        const std::uint32_t n = 1000003;
        const auto want = static_cast<std::uint32_t>(expected() / 4294967296.0 * n);
        EXPECT_EQ(dice.below(n), want) << key << " round " << round << " draw " << i;
      }
    }
  }
}

}  // namespace
}  // namespace vx::demo
