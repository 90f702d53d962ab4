#include "panelnudge/requests.hpp"

#include "config/build_config.hpp"
#include "host/host_client.hpp"

namespace vx::panelnudge {

void reload() {
  host::reloadAllTimelines(config::kAppBundleId);
}

void askForNotifications() {
  host::requestAuthorization(config::kAppBundleId, kNotificationOptions);
}

}  // namespace vx::panelnudge
