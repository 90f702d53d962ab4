#pragma once

#include <string_view>

#include "ui/box.hpp"
#include "ui/proposal.hpp"
#include "ui/text_measurer.hpp"

namespace vx::ui {

struct FittedText {
  contents::TextRun run;
  Size size;
  double baseline = 0;
};

// Lays a text out in the space offered:
//  1. the lines it may use: its line limit, and no more than fit the offered height (at least 1);
//  2. at full size, wrapped to the offered width: done if the lines fit;
//  3. otherwise, when it may shrink, the largest scale down to its minimum scale at which it fits;
//  4. otherwise, at its minimum scale, the lines that fit with the last one cut short by "…";
//  5. the lines are placed one under the other, aligned by the multi-line alignment.
// Without an offered width (an ideal-size request) the text breaks only at its line breaks and
// keeps its full size. Its narrowest form is a lone "…", which it keeps even when offered less.
[[nodiscard]] FittedText fitText(TextMeasurer& measurer, std::string_view text,
                                 const ResolvedTextStyle& style, Proposal offer);

}  // namespace vx::ui
