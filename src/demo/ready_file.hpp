#pragma once

#include <string>

namespace vx::demo {

// Replaces the file at `path` with `text` as a whole: written to a temporary file in the same
// folder, flushed, then renamed over the target. Answers an empty text, or what went wrong.
[[nodiscard]] std::string writeFileAtomically(const std::string& path, const std::string& text);

}  // namespace vx::demo
