#pragma once

#include <filesystem>
#include <optional>

// Where the shared folder is and what its files are called: all that keyferry needs, apart from
// writing files. Nothing here reads a document, so it links no model or network code.
namespace vx::SharedStore {

inline constexpr const char* kSessionFile = "session.json";
inline constexpr const char* kSnapshotFile = "snapshot.json";
inline constexpr const char* kPushFile = "push.json";

// "<data home>/Q7MZ2K4XB9.<bundle identifier>", created with mode 0700 on first use; nothing
// when it cannot be created or is not a usable directory.
[[nodiscard]] std::optional<std::filesystem::path> folder();

}  // namespace vx::SharedStore
