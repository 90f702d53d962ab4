#include "store/stale_temporaries.hpp"

#include <algorithm>
#include <system_error>

#include "model/clock.hpp"
#include "store/file_io.hpp"
#include "store/system_calls.hpp"

namespace vx::store {
namespace {

constexpr std::size_t kSuffixLength = 6;

bool leftBehind(const std::filesystem::path& path) {
  const auto modified = regularFileModified(path);
  return modified && clock::now() - *modified > kStaleAfter;
}

}  // namespace

std::string temporaryPrefix(const std::filesystem::path& target) {
  return "." + target.filename().string() + ".";
}

bool isTemporaryOf(const std::filesystem::path& target, const std::string& name) {
  const std::string prefix = temporaryPrefix(target);
  if (name.size() != prefix.size() + kSuffixLength || name.compare(0, prefix.size(), prefix) != 0) {
    return false;
  }
  return std::all_of(
      name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
      });
}

void removeStaleTemporaries(const std::filesystem::path& target) noexcept {
  try {
    auto folder = target.parent_path();
    if (folder.empty()) folder = ".";
    std::error_code error;
    for (std::filesystem::directory_iterator entries(folder, error), end; !error && entries != end;
         entries.increment(error)) {
      const auto& path = entries->path();
      if (isTemporaryOf(target, path.filename().string()) && leftBehind(path)) {
        (void)systemCalls().unlink(path.c_str());
      }
    }
  } catch (...) {
    // Cleaning up is a courtesy; a failure to list the folder must not stop the write.
  }
}

}  // namespace vx::store
