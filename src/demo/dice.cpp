#include "demo/dice.hpp"

#include <mutex>
#include <unordered_map>
#include <vector>

namespace vx::demo {
namespace {

// Keys come from requests (a project and any day a query names): the kept draws are forgotten
// all at once when there are this many.
constexpr std::size_t kMaxKeptKeys = 1 << 16;

using Draws = std::array<std::uint32_t, Dice::kKeptDraws>;

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

// The first draws of the engine seeded from `key`, worked out once per process.
Draws firstDraws(const std::string& key) {
  static std::mutex mutex;
  static std::unordered_map<std::string, Draws> kept;
  {
    std::lock_guard lock(mutex);
    if (auto found = kept.find(key); found != kept.end()) return found->second;
  }
  std::mt19937 engine = seeded(key);  // outside the lock: this is the slow part
  Draws draws{};
  for (std::uint32_t& draw : draws) draw = engine();
  std::lock_guard lock(mutex);
  if (kept.size() >= kMaxKeptKeys) kept.clear();
  kept.emplace(key, draws);
  return draws;
}

}  // namespace

Dice::Dice(std::string_view key) : key_(key), kept_(firstDraws(key_)) {}
Dice::Dice(std::uint64_t seed) : engine_(seeded(seed)) {}

std::uint32_t Dice::next() {
  if (!engine_ && drawn_ < kKeptDraws) return kept_[drawn_++];
  if (!engine_) {
    engine_ = seeded(key_);
    engine_->discard(drawn_);
  }
  ++drawn_;
  return (*engine_)();
}

double Dice::unit() {
  return static_cast<double>(next()) / 4294967296.0;
}

std::uint32_t Dice::below(std::uint32_t n) {
  if (n == 0) return 0;
  return static_cast<std::uint32_t>(unit() * n);
}

}  // namespace vx::demo
