#include "widgets/kinds.hpp"

#include "host/host_platform.hpp"
#include "push/widget_pushes.hpp"
#include "widgets/driver_kinds.hpp"

namespace vx::widgets {

using host::WidgetFamily;

WidgetKind projectSummaryWidget() {
  return WidgetKind{
      "ProjectSummaryWidget",
      "Project",
      "What your project's goal brought, and the visitors behind it",
      {WidgetFamily::systemSmall, WidgetFamily::systemMedium},
      ProjectSummaryIntent::kTitle,
      ProjectSummaryIntent::kParameters,
  };
}

WidgetKind allProjectsWidget() {
  return WidgetKind{
      "AllProjectsWidget",
      "Projects",
      "Each project's goal and visitors side by side",
      {WidgetFamily::systemMedium, WidgetFamily::systemLarge, WidgetFamily::systemExtraLarge},
      AllProjectsIntent::kTitle,
      AllProjectsIntent::kParameters,
  };
}

WidgetKind waitingWidget() {
  return WidgetKind{
      "WaitingWidget",
      "Needs you",
      "Who to reply to and which articles to finish, across your projects",
      {WidgetFamily::systemSmall, WidgetFamily::systemMedium, WidgetFamily::systemLarge},
      WaitingIntent::kTitle,
      WaitingIntent::kParameters,
  };
}

WidgetKind pushed(WidgetKind kind) {
  kind.pushHandler = &push::WidgetPushes::pushTokenDidChange;
  return kind;
}

WidgetKind either(WidgetKind kind) {
  if (host::platform::isAtLeast(kPushPlatformVersion)) return pushed(std::move(kind));
  return kind;
}

std::vector<WidgetKind> VantorixWidgets::body() {
  std::vector<WidgetKind> kinds;
  for (const driver::KindRequests* kind : driver::kindTable())
    kinds.push_back(either(kind->widget()));
  return kinds;
}

}  // namespace vx::widgets
