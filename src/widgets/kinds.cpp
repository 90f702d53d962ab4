#include "widgets/kinds.hpp"

#include "host/host_platform.hpp"
#include "push/widget_pushes.hpp"

namespace vx::widgets {

using host::WidgetFamily;

WidgetKind projectSummaryWidget() {
  return WidgetKind{
      "ProjectSummaryWidget",
      "Project",
      "What your project's goal brought, and the visitors behind it",
      {WidgetFamily::systemSmall, WidgetFamily::systemMedium},
  };
}

WidgetKind allProjectsWidget() {
  return WidgetKind{
      "AllProjectsWidget",
      "Projects",
      "Each project's goal and visitors side by side",
      {WidgetFamily::systemMedium, WidgetFamily::systemLarge, WidgetFamily::systemExtraLarge},
  };
}

WidgetKind waitingWidget() {
  return WidgetKind{
      "WaitingWidget",
      "Needs you",
      "Who to reply to and which articles to finish, across your projects",
      {WidgetFamily::systemSmall, WidgetFamily::systemMedium, WidgetFamily::systemLarge},
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
  return {either(projectSummaryWidget()), either(allProjectsWidget()), either(waitingWidget())};
}

}  // namespace vx::widgets
