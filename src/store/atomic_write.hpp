#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include <sys/types.h>

#include "store/system_error.hpp"

namespace vx::store {

// Replaces `target` with `bytes` as one step: readers see either the old file or the new one,
// never a part of either. The bytes go to a temporary file in the target's folder (created
// readable by the owner only, then given `mode`) that has no name while it is written where
// the file system allows; once flushed to disk it gets a unique temporary name beside the
// target and is renamed over it, and the folder is then flushed so that the rename survives a
// crash. Temporaries that killed writers of the same target left behind are removed first.
//
// With `Flush::none` nothing is flushed: readers still see one whole file or the other, but a
// crash may leave the target empty or gone. For files made again from what is kept, such as a
// drawing, where two flushes would cost more than the file.
//
// Nothing on success. On failure the temporary file is gone and, when the failure came before
// the rename, the previous target is untouched. A failure to flush the folder after the rename
// is reported too, although the new content is then already in place.
enum class Flush { toDisk, none };
[[nodiscard]] std::optional<SystemError> writeAtomically(const std::filesystem::path& target,
                                                         std::string_view bytes, mode_t mode,
                                                         Flush flush = Flush::toDisk);

}  // namespace vx::store
