#include "demo/dice.hpp"

#include <vector>

namespace vx::demo {
namespace {

std::mt19937 seeded(std::string_view key) {
  std::vector<std::uint32_t> bytes;
  bytes.reserve(key.size());
  for (char c : key) bytes.push_back(static_cast<unsigned char>(c));
  std::seed_seq sequence(bytes.begin(), bytes.end());
  return std::mt19937(sequence);
}

std::mt19937 seeded(std::uint64_t seed) {
  std::seed_seq sequence{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32)};
  return std::mt19937(sequence);
}

}  // namespace

Dice::Dice(std::string_view key) : engine_(seeded(key)) {}
Dice::Dice(std::uint64_t seed) : engine_(seeded(seed)) {}

double Dice::unit() {
  return static_cast<double>(engine_()) / 4294967296.0;
}

std::uint32_t Dice::below(std::uint32_t n) {
  if (n == 0) return 0;
  return static_cast<std::uint32_t>(unit() * n);
}

}  // namespace vx::demo
