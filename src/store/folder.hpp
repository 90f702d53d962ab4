#pragma once

#include <filesystem>
#include <optional>

namespace vx::store {

// The user's data folder: $XDG_DATA_HOME when it is an absolute path, otherwise
// "<home>/.local/share" with the home folder from $HOME (when absolute) or the user database.
// Nothing when neither gives a home.
[[nodiscard]] std::optional<std::filesystem::path> dataHome();

// Makes `folder` a usable directory: creates it (and any missing parent) with mode 0700 when it
// does not exist. An existing folder that others may use is made the owner's alone (group and
// other bits cleared). False when it cannot be created, is not a directory (a symbolic link in
// its place is not followed), belongs to another user, is reached through a symbolic link of
// another user (anyone's but this user's or the system's), cannot be made private, or is not
// searchable by this process. A folder that exists but is not writable counts as usable: writes
// in it fail on their own.
[[nodiscard]] bool ensureFolder(const std::filesystem::path& folder);

}  // namespace vx::store
