#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace vx::store {

// Writers of `target` work in temporaries named ".<target name>.XXXXXX" (six letters or
// digits) beside it. A writer that is killed may leave one behind.
[[nodiscard]] std::string temporaryPrefix(const std::filesystem::path& target);
[[nodiscard]] bool isTemporaryOf(const std::filesystem::path& target, const std::string& name);

// How long a temporary may stand before it counts as left behind. A live writer names its
// temporary only once the content is complete and renames it a moment later, or (where the
// file system cannot hold unnamed files) for as long as one write takes; removing a live
// writer's temporary only makes that write fail, with the previous file kept.
inline constexpr std::chrono::seconds kStaleAfter{60};

// Removes the regular files beside `target` that are its temporaries and were last modified
// more than kStaleAfter ago by the process clock. Failures are ignored.
void removeStaleTemporaries(const std::filesystem::path& target) noexcept;

}  // namespace vx::store
