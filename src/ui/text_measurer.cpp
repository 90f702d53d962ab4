#include "ui/text_measurer.hpp"

namespace vx::ui {

namespace {

constexpr double kUnit = PANGO_SCALE;
// Entries remembered before the caches start over; a few megabytes at most.
constexpr std::size_t kMaxRemembered = 20000;

std::string trimmedLine(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\n' ||
                     text[end - 1] == '\r')) {
    --end;
  }
  return std::string(text.substr(0, end));
}

}  // namespace

TextMeasurer::TextMeasurer() : context_(newMeasuringContext()) {}

FontMetrics TextMeasurer::metrics(const FontSpec& font) {
  auto k = key(font);
  if (auto it = metrics_.find(k); it != metrics_.end()) return it->second;
  // The metrics of an empty line are the font's own (ascent and descent), the same for any text
  // in that font; a line's height does not depend on which glyphs it holds.
  auto layout = newLineLayout(context_.get(), "", font);
  PangoRectangle logical;
  pango_layout_get_extents(layout.get(), nullptr, &logical);
  FontMetrics m{pango_layout_get_baseline(layout.get()) / kUnit, logical.height / kUnit};
  metrics_.emplace(k, m);
  return m;
}

double TextMeasurer::width(std::string_view text, const FontSpec& font) {
  if (auto it = widths_.find(Probe{key(font), text}); it != widths_.end()) return it->second;
  auto layout = newLineLayout(context_.get(), text, font);
  PangoRectangle logical;
  pango_layout_get_extents(layout.get(), nullptr, &logical);
  const double w = logical.width / kUnit;
  keepBounded();
  widths_.emplace(Kept{key(font), std::string(text)}, w);
  return w;
}

std::vector<std::string> TextMeasurer::wrap(std::string_view text, const FontSpec& font,
                                            std::optional<double> width) {
  std::vector<std::string> lines;
  if (!width) {
    std::size_t start = 0;
    while (true) {
      const std::size_t end = text.find('\n', start);
      lines.push_back(trimmedLine(text.substr(
          start, end == std::string_view::npos ? std::string_view::npos : end - start)));
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
    return lines;
  }
  if (auto it = wraps_.find(Probe{key(font), text, *width}); it != wraps_.end()) {
    return it->second;
  }
  auto layout = newWrappingLayout(context_.get(), text, font, *width);
  for (GSList* l = pango_layout_get_lines_readonly(layout.get()); l != nullptr; l = l->next) {
    const auto* line = static_cast<const PangoLayoutLine*>(l->data);
    lines.push_back(trimmedLine(text.substr(static_cast<std::size_t>(line->start_index),
                                            static_cast<std::size_t>(line->length))));
  }
  if (lines.empty()) lines.emplace_back();
  keepBounded();
  wraps_.emplace(Kept{key(font), std::string(text), *width}, lines);
  return lines;
}

void TextMeasurer::keepBounded() {
  if (widths_.size() >= kMaxRemembered) widths_.clear();
  if (wraps_.size() >= kMaxRemembered) wraps_.clear();
  if (cuts_.size() >= kMaxRemembered) cuts_.clear();
}

std::vector<std::size_t> TextMeasurer::cutPoints(std::string_view text) {
  if (text.empty()) return {0};
  if (auto it = cuts_.find(text); it != cuts_.end()) return it->second;
  // Character boundaries need no fonts: Pango's break rules alone give them, without laying
  // the text out and shaping it.
  const auto length = static_cast<int>(text.size());
  std::vector<PangoLogAttr> attrs(static_cast<std::size_t>(g_utf8_strlen(text.data(), length)) + 1);
  pango_get_log_attrs(text.data(), length, -1, pango_language_get_default(), attrs.data(),
                      static_cast<int>(attrs.size()));
  // One attribute per character plus one for the end of the text.
  std::vector<std::size_t> points;
  const char* begin = text.data();
  const char* p = begin;
  for (const PangoLogAttr& attr : attrs) {
    if (attr.is_cursor_position) points.push_back(static_cast<std::size_t>(p - begin));
    if (static_cast<std::size_t>(p - begin) >= text.size()) break;
    p = g_utf8_next_char(p);
  }
  if (points.empty() || points.front() != 0) points.insert(points.begin(), 0);
  if (points.back() != text.size()) points.push_back(text.size());
  keepBounded();
  cuts_.emplace(std::string(text), points);
  return points;
}

}  // namespace vx::ui
