#pragma once

// Deterministic pseudo-random numbers keyed by text: the same key gives the same numbers on
// every run and every machine (std::seed_seq and std::mt19937 are fully specified; the values
// are taken from the engine directly rather than through the library's distributions, whose
// algorithms are not).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace vx::demo {

class Dice {
 public:
  // Seeding an engine from a key costs some microseconds, and an answer about a month of days
  // asks for hundreds of keys, most of them asked for by earlier answers too: the first draws
  // of a key come from what the process keeps, and the engine is seeded only when more are
  // drawn.
  static constexpr std::size_t kKeptDraws = 2;

  explicit Dice(std::string_view key);
  explicit Dice(std::uint64_t seed);

  // A number in [0, 1).
  [[nodiscard]] double unit();
  // A whole number in [0, n); 0 when n is 0.
  [[nodiscard]] std::uint32_t below(std::uint32_t n);

 private:
  [[nodiscard]] std::uint32_t next();

  std::string key_;
  std::array<std::uint32_t, kKeptDraws> kept_{};
  std::size_t drawn_ = 0;
  std::optional<std::mt19937> engine_;  // once the kept draws are used up, or for a number seed
};

}  // namespace vx::demo
