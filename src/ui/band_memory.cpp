#include "ui/band_memory.hpp"

#include <mutex>
#include <utility>

namespace vx::ui {

namespace {

struct Kept {
  std::mutex mutex;
  BandMemory memory;
  std::size_t bytes = 0;
};

Kept& kept() {
  static Kept k;
  return k;
}

}  // namespace

BandMemory takeBandMemory(std::size_t bytes) {
  {
    Kept& k = kept();
    const std::lock_guard lock(k.mutex);
    if (k.memory && k.bytes >= bytes) {
      k.bytes = 0;
      return std::move(k.memory);
    }
  }
  return BandMemory(static_cast<unsigned char*>(std::malloc(bytes)));
}

void keepBandMemory(BandMemory memory, std::size_t bytes) {
  if (!memory) return;
  BandMemory replaced;  // freed outside the lock
  Kept& k = kept();
  const std::lock_guard lock(k.mutex);
  if (k.memory && k.bytes >= bytes) {
    replaced = std::move(memory);
    return;
  }
  replaced = std::exchange(k.memory, std::move(memory));
  k.bytes = bytes;
}

void releaseBandMemory() {
  BandMemory released;
  Kept& k = kept();
  const std::lock_guard lock(k.mutex);
  released = std::move(k.memory);
  k.bytes = 0;
}

}  // namespace vx::ui
