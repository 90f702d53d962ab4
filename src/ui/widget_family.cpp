#include "ui/widget_family.hpp"

namespace vx::ui {

std::string_view rawValue(WidgetFamily f) {
  switch (f) {
    case WidgetFamily::systemSmall:
      return "systemSmall";
    case WidgetFamily::systemMedium:
      return "systemMedium";
    case WidgetFamily::systemLarge:
      return "systemLarge";
    case WidgetFamily::systemExtraLarge:
      return "systemExtraLarge";
  }
  return "systemSmall";
}

std::optional<WidgetFamily> widgetFamilyFromRaw(std::string_view raw) {
  for (auto f : {WidgetFamily::systemSmall, WidgetFamily::systemMedium, WidgetFamily::systemLarge,
                 WidgetFamily::systemExtraLarge}) {
    if (rawValue(f) == raw) return f;
  }
  return std::nullopt;
}

Size familySize(WidgetFamily f) {
  switch (f) {
    case WidgetFamily::systemSmall:
      return {170, 170};
    case WidgetFamily::systemMedium:
      return {364, 170};
    case WidgetFamily::systemLarge:
      return {364, 382};
    case WidgetFamily::systemExtraLarge:
      return {748, 382};
  }
  return {170, 170};
}

Element widgetContainer(const Element& content, const Element& background) {
  return overlay({background.fillContainer().containerBackground(),
                  content.padding(kWidgetContentInset).fillContainer()});
}

}  // namespace vx::ui
