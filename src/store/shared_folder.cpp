#include "store/shared_folder.hpp"

#include <string>

#include "config/build_config.hpp"
#include "store/folder.hpp"

namespace vx::SharedStore {

std::optional<std::filesystem::path> folder() {
  auto home = store::dataHome();
  if (!home) return std::nullopt;
  auto shared = *home / (std::string(config::kTeamId) + "." + config::kAppBundleId);
  if (!store::ensureFolder(shared)) return std::nullopt;
  return shared;
}

}  // namespace vx::SharedStore
