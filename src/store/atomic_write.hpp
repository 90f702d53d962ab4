#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include <sys/types.h>

#include "store/system_error.hpp"

namespace vx::store {

// Replaces `target` with `bytes` as one step: readers see either the old file or the new one,
// never a part of either. The bytes go to a uniquely named temporary file beside the target
// (created readable by the owner only, then given `mode`), are flushed to disk, and the
// temporary is renamed over the target; the folder is then flushed so that the rename
// survives a crash.
//
// Nothing on success. On failure the temporary file is gone and, when the failure came before
// the rename, the previous target is untouched. A failure to flush the folder after the rename
// is reported too, although the new content is then already in place.
[[nodiscard]] std::optional<SystemError> writeAtomically(const std::filesystem::path& target,
                                                         std::string_view bytes, mode_t mode);

}  // namespace vx::store
