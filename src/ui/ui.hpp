#pragma once

// The drawing engine: render trees built in C++, laid out with stack semantics, painted by cairo.
//
// Building a tree. Every builder returns an Element; modifiers return new elements:
//
//   using namespace vx::ui;
//   Element header =
//       row({text("Projects").font(13, Weight::semibold).minScale(0.85),
//            spacer(4),
//            text("28 days").color(secondary)})
//           .spacing(6)
//           .align(VAlign::center)
//           .font(12, Weight::medium)      // inherited by every text inside that sets none
//           .tabularDigits()
//           .lineLimit(1)
//           .height(20);
//
// Containers: row({...}) and column({...}) with .spacing(points) and .align(VAlign / HAlign;
// rows may align on VAlign::firstTextBaseline); overlay({...}, alignment) draws later children on
// top; spacer(min) is flexible space along its stack, gap(length) exactly that much space;
// empty() and text("") take no room at all.
//
// Leaves: text("..."); rectangle(), roundedRectangle(r or CornerRadii), circle(), capsule(),
// each .fill(color) or .stroke(color, StrokeStyle) and filling the frame they get; canvas(fn)
// for drawings computed from the frame size (fn returns ShapeItems: paths, rects, ellipses,
// filled or stroked, optionally in the accent group); image(path).resizable().fallback(element)
// for PNG files; symbol(Symbol::checkmarkCircleFill) sized by the inherited font.
//
// Text settings (inherited; the setting closest to the text wins): font(size, weight) or
// font(Font{size, weight}) (a font leaves tabular digits as inherited),
// color(c), lineLimit(n), minScale(s), tabularDigits(), multilineAlignment(HAlign).
//
// Layout modifiers: padding(all | Insets | Edge, n), frame(w, h, alignment), width(w),
// height(h), frame(Frame{...}) with min / max per axis (infinity allowed), fillContainer(),
// fixedSize() (ideal size, never compressed: a "fixed" text), layoutPriority(p),
// background(element), overlay(element).
// Paint modifiers: opacity(o), accentable(), link(url) (an absent optional URL links nothing),
// widgetLink(url) (the same, tapped anywhere on the widget where no other link lies),
// clip(radius), containerBackground(),
// tag(name) (names an element for the dump and for Layout::frameOf), label(text) (what a screen
// reader says for it; "" for a decoration it skips).
//
// Layout rules, as the platform's stacks: a parent offers a size and the child chooses its own.
// Stacks serve children by layout priority (highest first, keeping lower priorities' minimums),
// then least flexible first with an equal share of what is left; spacers come last. Texts wrap
// and truncate with a tail "…" within their line limit, shrink towards their minimum scale
// before truncating, and never shrink when fixed.
//
// Drawing a widget:
//
//   Element widget = widgetContainer(content, rectangle().fill(background));
//   Layout laid = layout(widget, Size{364, 170});   // the size the host gives the family
//   std::optional<RenderResult> png = render(laid, ImageFormat::png);   // 2x by default
//   png->links;                  // each link's rectangle in points, its URL and spoken name
//   png->texts;                  // the texts in reading order, each with its rectangle
//   std::string dump = dumpText(laid);   // or dumpJson(laid)
//
// RenderOptions choose the scale, and full-colour or accented mode (accent group in a tint,
// the rest in one plain colour, no container background; images keep their colours from
// platform version 15 on). The colour scheme is the tree builder's business: build the tree
// with the palette of the scheme in use.

#include "ui/alignment.hpp"
#include "ui/color.hpp"
#include "ui/dump.hpp"
#include "ui/element.hpp"
#include "ui/geometry.hpp"
#include "ui/layout.hpp"
#include "ui/link_map.hpp"
#include "ui/path.hpp"
#include "ui/reading_order.hpp"
#include "ui/render.hpp"
#include "ui/render_options.hpp"
#include "ui/shape.hpp"
#include "ui/text_style.hpp"
#include "ui/widget_container.hpp"
