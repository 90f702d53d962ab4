#pragma once

#include <filesystem>

namespace vx::desktop {

// Makes sure `folder` exists: when missing, it is created (with any missing parent) with mode
// 0700, since it holds the user's widgets and answers. A folder that exists keeps the modes the
// user gave it, a read-only one included: writing in it then fails with its own error. Throws
// `std::runtime_error` when it cannot be created.
void makePrivateFolder(const std::filesystem::path& folder);

}  // namespace vx::desktop
