#pragma once

#include <cstddef>
#include <cstdint>
#include <future>
#include <span>
#include <string_view>
#include <vector>

#include "host/widget_family.hpp"
#include "widgets/intents.hpp"

namespace vx::widgets {

// The host's push handler: called with the widgets' push token and the number of widgets that
// use it, whenever either changes. Returns at once; the future tells when the work is done.
using PushHandler = std::shared_future<void> (*)(std::span<const std::uint8_t> token,
                                                 std::size_t widgetCount);

// The platform version from which widgets carry a push handler.
inline constexpr int kPushPlatformVersion = 26;

// What the host learns of one widget kind. The identifier is the key under which the host
// keeps the kind and every widget placed from it.
struct WidgetKind {
  std::string_view kind;
  std::string_view displayName;
  std::string_view description;
  std::vector<host::WidgetFamily> supportedFamilies;
  // The configuration the user edits: its intent's title and parameters.
  std::string_view configurationTitle;
  std::span<const IntentParameter> parameters;
  // Set only on a kind wrapped by `Pushed`.
  PushHandler pushHandler = nullptr;
};

[[nodiscard]] WidgetKind projectSummaryWidget();
[[nodiscard]] WidgetKind allProjectsWidget();
[[nodiscard]] WidgetKind waitingWidget();

// The kind with the widgets' push handler attached.
[[nodiscard]] WidgetKind pushed(WidgetKind kind);

// The kind as the host's platform allows it: pushed from version 26 on, unchanged before.
[[nodiscard]] WidgetKind either(WidgetKind kind);

// The extension's widget bundle: what the host sees of the program.
struct VantorixWidgets {
  // The three kinds, in the order of the driver's table of kinds (driver_kinds.hpp), each passed
  // through `either`.
  [[nodiscard]] static std::vector<WidgetKind> body();
};

}  // namespace vx::widgets
