#include "ui/text_fit.hpp"

#include <glib.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace vx::ui {

namespace {

constexpr const char* kEllipsis = "\u2026";
// Widths come from rounded Pango units; allow for that when comparing them with an offer.
constexpr double kSlack = 0.01;
// Binary search steps for the shrink scale: resolves it to well under 1 % of the size.
constexpr int kScaleSearchSteps = 10;

struct Attempt {
  std::vector<std::string> lines;
  bool fits = false;
};

FontSpec fontAt(const ResolvedTextStyle& style, double scale) {
  return {style.size * scale, style.weight, style.tabularDigits};
}

std::optional<double> offeredWidth(const Proposal& offer) {
  if (!offer.width || std::isinf(*offer.width)) return std::nullopt;
  return std::max(0.0, *offer.width);
}

// Step 1: how many lines the text may use at this scale.
int lineCapacity(TextMeasurer& m, const ResolvedTextStyle& style, double scale,
                 const Proposal& offer) {
  int capacity = style.lineLimit.value_or(std::numeric_limits<int>::max());
  if (offer.height && !std::isinf(*offer.height)) {
    const double lineHeight = m.metrics(fontAt(style, scale)).lineHeight;
    if (lineHeight > 0) {
      const double fitting = std::floor((*offer.height + kSlack) / lineHeight);
      capacity = std::min(capacity, std::max(1, static_cast<int>(std::min(fitting, 1e6))));
    }
  }
  return capacity;
}

// Steps 2 and 3 test: the wrapped lines at a scale, and whether they fit.
Attempt attempt(TextMeasurer& m, std::string_view text, const ResolvedTextStyle& style,
                double scale, const Proposal& offer) {
  const auto width = offeredWidth(offer);
  const FontSpec font = fontAt(style, scale);
  Attempt a;
  a.lines = m.wrap(text, font, width);
  a.fits = static_cast<int>(a.lines.size()) <= lineCapacity(m, style, scale, offer);
  if (a.fits && width) {
    for (const auto& line : a.lines) {
      if (m.width(line, font) > *width + kSlack) a.fits = false;
    }
  }
  return a;
}

// Step 3: the largest scale in [minScale, 1) at which the text fits, if any.
std::optional<double> largestFittingScale(TextMeasurer& m, std::string_view text,
                                          const ResolvedTextStyle& style, const Proposal& offer) {
  if (!attempt(m, text, style, style.minScale, offer).fits) return std::nullopt;
  double low = style.minScale;  // fits
  double high = 1;              // does not fit
  for (int i = 0; i < kScaleSearchSteps; ++i) {
    const double mid = (low + high) / 2;
    if (attempt(m, text, style, mid, offer).fits) {
      low = mid;
    } else {
      high = mid;
    }
  }
  return low;
}

std::string rtrim(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  return s;
}

// The longest start of `rest` (up to its first line break) that, followed by "…", fits `width`.
std::string ellipsized(TextMeasurer& m, std::string_view rest, const FontSpec& font,
                       std::optional<double> width) {
  rest = rest.substr(0, rest.find('\n'));
  if (!width) return rtrim(std::string(rest)) + kEllipsis;
  const auto cuts = m.cutPoints(rest);
  auto candidate = [&](std::size_t i) {
    return rtrim(std::string(rest.substr(0, cuts[i]))) + kEllipsis;
  };
  std::size_t low = 0;  // a lone "…" is kept even when it does not fit
  std::size_t high = cuts.size();
  while (high - low > 1) {
    const std::size_t mid = (low + high) / 2;
    if (m.width(candidate(mid), font) <= *width + kSlack) {
      low = mid;
    } else {
      high = mid;
    }
  }
  return candidate(low);
}

// Step 4: keep the lines that fit; the last kept line ends with "…" in place of the rest.
std::vector<std::string> truncatedLines(TextMeasurer& m, std::string_view text,
                                        const ResolvedTextStyle& style, double scale,
                                        const Proposal& offer) {
  const FontSpec font = fontAt(style, scale);
  const auto width = offeredWidth(offer);
  std::vector<std::string> lines = m.wrap(text, font, width);
  const auto capacity = static_cast<std::size_t>(lineCapacity(m, style, scale, offer));
  std::size_t keep = std::min(lines.size(), capacity);
  // Where the last kept line starts in the text: after the lines before it.
  std::size_t consumed = 0;
  for (std::size_t i = 0; i + 1 < keep; ++i) {
    const std::size_t at = text.find(lines[i], consumed);
    consumed = at == std::string_view::npos ? consumed : at + lines[i].size();
    while (consumed < text.size() && (text[consumed] == ' ' || text[consumed] == '\t' ||
                                      text[consumed] == '\n' || text[consumed] == '\r')) {
      ++consumed;
    }
  }
  lines.resize(keep);
  lines.back() = ellipsized(m, text.substr(consumed), font, width);
  return lines;
}

// Step 5.
FittedText placed(TextMeasurer& m, std::string_view text, const ResolvedTextStyle& style,
                  double scale, std::vector<std::string> lines, bool truncated) {
  const FontSpec font = fontAt(style, scale);
  const FontMetrics metrics = m.metrics(font);
  FittedText out;
  out.run.source = std::string(text);
  out.run.fontSize = font.size;
  out.run.scale = scale;
  out.run.weight = style.weight;
  out.run.tabularDigits = style.tabularDigits;
  out.run.color = style.color;
  out.run.truncated = truncated;
  double widest = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    TextLine line;
    line.width = m.width(lines[i], font);
    line.baseline = static_cast<double>(i) * metrics.lineHeight + metrics.ascent;
    line.text = std::move(lines[i]);
    widest = std::max(widest, line.width);
    out.run.lines.push_back(std::move(line));
  }
  for (auto& line : out.run.lines) {
    line.x = alignOffset(style.multilineAlignment, widest, line.width);
  }
  out.size = {widest, static_cast<double>(out.run.lines.size()) * metrics.lineHeight};
  out.baseline = metrics.ascent;
  return out;
}

}  // namespace

FittedText fitText(TextMeasurer& measurer, std::string_view rawText, const ResolvedTextStyle& style,
                   Proposal offer) {
  // Text from outside may not be valid UTF-8; Pango needs it to be.
  gchar* valid = g_utf8_make_valid(rawText.data(), static_cast<gssize>(rawText.size()));
  const std::string text(valid);
  g_free(valid);

  Attempt full = attempt(measurer, text, style, 1, offer);
  if (full.fits) return placed(measurer, text, style, 1, std::move(full.lines), false);
  if (style.minScale < 1 && offeredWidth(offer)) {
    if (auto scale = largestFittingScale(measurer, text, style, offer)) {
      Attempt shrunk = attempt(measurer, text, style, *scale, offer);
      return placed(measurer, text, style, *scale, std::move(shrunk.lines), false);
    }
  }
  const double scale = offeredWidth(offer) ? style.minScale : 1;
  return placed(measurer, text, style, scale, truncatedLines(measurer, text, style, scale, offer),
                true);
}

}  // namespace vx::ui
