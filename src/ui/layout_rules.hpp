#pragma once

#include "ui/layout_context.hpp"

namespace vx::ui {

// One layout rule per kind of node. Each takes the offer and answers a box of the size the
// element chooses, its children placed inside it.

[[nodiscard]] BoxPtr layoutText(LayoutContext& ctx, const nodes::Text& text, int env,
                                Proposal offer);
[[nodiscard]] BoxPtr layoutStack(LayoutContext& ctx, const nodes::Stack& stack, int env,
                                 Proposal offer);
[[nodiscard]] BoxPtr layoutOverlay(LayoutContext& ctx, const nodes::Overlay& overlay, int env,
                                   Proposal offer);
[[nodiscard]] BoxPtr layoutLayer(LayoutContext& ctx, const nodes::Layer& layer, int env,
                                 Proposal offer);
[[nodiscard]] BoxPtr layoutPadding(LayoutContext& ctx, const nodes::Padding& padding, int env,
                                   Proposal offer);
[[nodiscard]] BoxPtr layoutFrame(LayoutContext& ctx, const nodes::Framed& framed, int env,
                                 Proposal offer);
[[nodiscard]] BoxPtr layoutFixedSize(LayoutContext& ctx, const nodes::FixedSize& fixed, int env,
                                     Proposal offer);
[[nodiscard]] BoxPtr layoutDecorated(LayoutContext& ctx, const nodes::Decorated& decorated, int env,
                                     Proposal offer);
[[nodiscard]] BoxPtr layoutSpacer(LayoutContext& ctx, const nodes::Spacer& spacer, int env,
                                  Proposal offer);
[[nodiscard]] BoxPtr layoutShape(LayoutContext& ctx, const nodes::FilledShape& shape, int env,
                                 Proposal offer);
[[nodiscard]] BoxPtr layoutCanvas(LayoutContext& ctx, const nodes::Canvas& canvas, int env,
                                  Proposal offer);
[[nodiscard]] BoxPtr layoutImage(LayoutContext& ctx, const nodes::Image& image, int env,
                                 Proposal offer);
[[nodiscard]] BoxPtr layoutSymbol(LayoutContext& ctx, const nodes::SymbolImage& symbol, int env,
                                  Proposal offer);

// True for elements that stacks leave out entirely (no space, no spacing): the empty element
// and an empty text, also when only restyled or decorated.
[[nodiscard]] bool isVoid(const Node& node);

}  // namespace vx::ui
