#include "sample_widget.hpp"

#include <cmath>
#include <string>
#include <vector>

namespace vx::bench {

using namespace vx::ui;

namespace {

const Color kPrimary = Color::rgb24(0x0f172a);
const Color kSecondary = Color::rgb24(0x64748b);
const Color kUp = Color::rgb24(0x059669);
const Color kDown = Color::rgb24(0xdc2626);
const Color kLive = Color::rgb24(0x10b981);
const Color kAccent = Color::rgb24(0x06b6d4);
const Color kAction = Color::rgb24(0x0e7490);
const Color kBaseline = Color::rgb24(0xe2e8f0);

Element change(double value) {
  const bool up = value > 0;
  return text(std::string(up ? "\u2191" : "\u2193") +
              std::to_string(static_cast<int>(std::lround(std::abs(value)))) + "%")
      .font(12, Weight::semibold)
      .tabularDigits()
      .color(up ? kUp : kDown)
      .lineLimit(1)
      .fixedSize();
}

Element tile(const std::string& letter, Color color) {
  return image("/nonexistent/favicon.png")
      .resizable()
      .fallback(text(letter)
                    .font(14, Weight::semibold)
                    .color(color)
                    .frame(28, 28)
                    .background(roundedRectangle(7).fill(color.withOpacity(0.18))))
      .frame(28, 28)
      .clip(7);
}

Element chart(int days) {
  return canvas([days](Size s) {
    std::vector<ShapeItem> items;
    items.push_back(ShapeItem::fill(Shape::rect({0, s.height - 1, s.width, 1}), kBaseline));
    const double slot = s.width / days;
    for (int i = 0; i < days; ++i) {
      const double h = 3 + (s.height - 4) * (0.5 + 0.5 * std::sin(i * 0.7));
      items.push_back(
          ShapeItem::fill(
              Shape::roundedRect({i * slot + 1, s.height - h, slot - 2, h}, {2, 2, 0, 0}), kAccent)
              .accented());
    }
    return items;
  });
}

Element listRow(int i) {
  static const char* names[] = {"Marketing site", "Docs portal",    "Storefront",
                                "Careers blog",   "Support centre", "Investor pages"};
  const Color tint = Color::rgb24(0x2563eb + static_cast<std::uint32_t>(i) * 0x101010);
  Element title = row({text(names[i % 6]), i % 2 == 0 ? circle().fill(kLive).frame(6, 6) : empty()})
                      .spacing(6)
                      .align(VAlign::center);
  Element subtitle =
      row({text(std::to_string(1200 * (i + 1)) + " visitors"), change(i % 3 == 0 ? -4 : 12.6)})
          .spacing(5);
  Element trailing =
      column({text("$" + std::to_string(840 * (i + 2))).font(17, Weight::semibold).tabularDigits(),
              row({text("Signups").color(kSecondary), change(3.2)})
                  .spacing(5)
                  .font(12, Weight::medium)})
          .spacing(2)
          .align(HAlign::trailing)
          .lineLimit(1)
          .layoutPriority(2);
  return row({tile(std::string(1, names[i % 6][0]), tint),
              column({title.font(14, Weight::semibold).color(kPrimary).lineLimit(1),
                      subtitle.font(12, Weight::medium)
                          .color(kSecondary)
                          .tabularDigits()
                          .lineLimit(1)})
                  .spacing(2)
                  .align(HAlign::leading)
                  .layoutPriority(1),
              spacer(8), trailing})
      .spacing(10)
      .frame({.minHeight = 44, .maxHeight = 56})
      .link("vantorix://open/app/projects/p" + std::to_string(i));
}

}  // namespace

Element sampleWidget() {
  Element header = row({row({text("Projects"), text("9").color(kSecondary)})
                            .spacing(5)
                            .font(13, Weight::semibold)
                            .color(kPrimary)
                            .minScale(0.85),
                        spacer(4),
                        row({circle().fill(kLive).frame(6, 6),
                             text("24 now").color(Color::rgb24(0x047857)).fixedSize()})
                            .spacing(4),
                        text("28 days \u00b7 14:05").color(kSecondary)})
                       .spacing(6)
                       .font(12, Weight::medium)
                       .tabularDigits()
                       .lineLimit(1)
                       .height(20);
  Elements body{header.padding(Edge::bottom, 4)};
  for (int i = 0; i < 6; ++i) {
    if (i > 0) body.push_back(rectangle().fill(kBaseline).height(1).padding(Edge::leading, 38));
    body.push_back(listRow(i));
  }
  body.push_back(chart(28).height(22).padding(Edge::top, 6));
  body.push_back(spacer(0));
  body.push_back(
      text("3 more projects")
          .font(12, Weight::medium)
          .color(kSecondary)
          .frame({.maxWidth = infinity, .height = 20, .alignment = Alignment::bottomLeading}));
  Element content = column(body).align(HAlign::leading).fillContainer(Alignment::topLeading);
  (void)kAction;
  return widgetContainer(content, rectangle().fill(Color::white()));
}

int boxCount(const Layout& layout) {
  int n = 0;
  layout.visit([&n](const Box&, const Rect&, int) { ++n; });
  return n;
}

}  // namespace vx::bench
