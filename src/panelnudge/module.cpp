// The entry point node calls when it loads panelnudge.node, and the three functions it exports.
// The Node-API functions used here are not linked: node provides them when it loads the module.
#include <node_api.h>

#include <string>

#include "panelnudge/notification_status.hpp"
#include "panelnudge/requests.hpp"

namespace vx::panelnudge {
namespace {

// Each function ignores its arguments. No C++ exception may cross into node, so each one stops
// them here; a request that could not be made is as silent as one the host ignored.

napi_value reloadFunction(napi_env /*env*/, napi_callback_info /*info*/) {
  try {
    reload();
  } catch (...) {
  }
  return nullptr;  // undefined
}

napi_value notificationStatusFunction(napi_env env, napi_callback_info /*info*/) {
  try {
    const std::string status = notificationStatus();
    napi_value text = nullptr;
    if (napi_create_string_utf8(env, status.c_str(), NAPI_AUTO_LENGTH, &text) != napi_ok) {
      return nullptr;
    }
    return text;
  } catch (...) {
    return nullptr;
  }
}

napi_value askForNotificationsFunction(napi_env /*env*/, napi_callback_info /*info*/) {
  try {
    askForNotifications();
  } catch (...) {
  }
  return nullptr;
}

struct ExportedFunction {
  const char* name;
  napi_callback callback;
};

// In the order they are set on the exports object.
constexpr ExportedFunction kExportedFunctions[] = {
    {"reload", reloadFunction},
    {"notificationStatus", notificationStatusFunction},
    {"askForNotifications", askForNotificationsFunction},
};

}  // namespace

// Adds the exported functions to `exports` and hands the same object back. Failures are not
// reported: a function that cannot be created leaves its property unset.
napi_value registerModule(napi_env env, napi_value exports) {
  for (const ExportedFunction& exported : kExportedFunctions) {
    napi_value function = nullptr;
    if (napi_create_function(env, exported.name, NAPI_AUTO_LENGTH, exported.callback, nullptr,
                             &function) == napi_ok) {
      (void)napi_set_named_property(env, exports, exported.name, function);
    }
  }
  return exports;
}

}  // namespace vx::panelnudge

extern "C" NAPI_MODULE_EXPORT napi_value napi_register_module_v1(napi_env env, napi_value exports) {
  return vx::panelnudge::registerModule(env, exports);
}
