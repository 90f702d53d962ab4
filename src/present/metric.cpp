#include "present/metric.hpp"

#include "present/change.hpp"
#include "present/widget_type.hpp"

namespace vx::present {

ui::Element Metric(const std::string& label, const std::string& value, std::optional<double> change,
                   ui::Font font, const Environment& env) {
  const Ink ink(env);
  return ui::column({ui::text(label).font(WidgetType::label).color(ink.secondary).lineLimit(1),
                     ui::row({ui::text(value)
                                  .font(font)
                                  .color(ink.primary)
                                  .lineLimit(1)
                                  .minScale(0.5)
                                  .accentable(),
                              Change(change, WidgetType::change, env)})
                         .spacing(6)
                         .align(ui::VAlign::firstTextBaseline)})
      .spacing(0)
      .align(ui::HAlign::leading);
}

}  // namespace vx::present
