#pragma once

// Deterministic pseudo-random numbers keyed by text: the same key gives the same numbers on
// every run and every machine (std::seed_seq and std::mt19937 are fully specified; the values
// are taken from the engine directly rather than through the library's distributions, whose
// algorithms are not).

#include <cstdint>
#include <random>
#include <string_view>

namespace vx::demo {

class Dice {
 public:
  explicit Dice(std::string_view key);
  explicit Dice(std::uint64_t seed);

  // A number in [0, 1).
  [[nodiscard]] double unit();
  // A whole number in [0, n); 0 when n is 0.
  [[nodiscard]] std::uint32_t below(std::uint32_t n);

 private:
  std::mt19937 engine_;
};

}  // namespace vx::demo
