#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace vx::desktop {

// Called with the extension's answer: its standard output read as JSON when it ended with status
// 0, nothing when it could not be started, failed or printed something else.
using ExtensionAnswered = std::function<void(std::optional<nlohmann::json> answer)>;

// Runs one of the extension's one-shot commands (`projects`, `timeline --kind K`, ...) without
// blocking the GLib main loop; `answered` is called from the loop once it has ended.
void askExtension(const std::string& extension, const std::vector<std::string>& arguments,
                  ExtensionAnswered answered);

}  // namespace vx::desktop
