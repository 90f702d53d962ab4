#include "ui/widget_container.hpp"

namespace vx::ui {

Element widgetContainer(const Element& content, const Element& background) {
  return overlay({background.fillContainer().containerBackground(),
                  content.padding(kWidgetContentInset).fillContainer()});
}

}  // namespace vx::ui
