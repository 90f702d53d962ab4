#include "widgets/driver_output.hpp"

#include <cstdio>
#include <mutex>

namespace vx::widgets::driver {
namespace {

std::mutex& outputMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

void writeLine(std::string_view line) {
  std::lock_guard lock(outputMutex());
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void writeLine(const std::vector<std::string_view>& pieces) {
  std::lock_guard lock(outputMutex());
  for (const std::string_view piece : pieces) std::fwrite(piece.data(), 1, piece.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void holdOutput() {
  // Never released: the process ends right after.
  outputMutex().lock();
  std::fflush(stdout);
}

}  // namespace vx::widgets::driver
