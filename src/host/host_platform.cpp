#include "host/host_platform.hpp"

#include <atomic>
#include <charconv>
#include <mutex>
#include <utility>

namespace vx::host::platform {
namespace {

std::atomic<int> declaredVersion{kDefaultVersion};

struct PushState {
  std::mutex mutex;
  std::optional<std::vector<std::uint8_t>> token;
};

PushState& pushState() {
  static PushState state;
  return state;
}

}  // namespace

int version() {
  return declaredVersion.load(std::memory_order_relaxed);
}

void setVersion(int version) {
  declaredVersion.store(version, std::memory_order_relaxed);
}

bool isAtLeast(int major) {
  return version() >= major;
}

std::optional<std::vector<std::uint8_t>> currentPushToken() {
  auto& state = pushState();
  std::lock_guard lock(state.mutex);
  return state.token;
}

void setCurrentPushToken(std::optional<std::vector<std::uint8_t>> token) {
  auto& state = pushState();
  std::lock_guard lock(state.mutex);
  state.token = std::move(token);
}

std::optional<std::vector<std::uint8_t>> decodePushToken(std::string_view hex) {
  if (hex.empty() || hex.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t at = 0; at < hex.size(); at += 2) {
    const char* first = hex.data() + at;
    const char* last = first + 2;
    std::uint8_t byte = 0;
    auto [end, error] = std::from_chars(first, last, byte, 16);
    // Both characters must be digits: from_chars stops early at the first one that is not.
    if (error != std::errc() || end != last) return std::nullopt;
    bytes.push_back(byte);
  }
  return bytes;
}

}  // namespace vx::host::platform
