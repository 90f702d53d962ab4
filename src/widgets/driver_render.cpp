#include "widgets/driver_render.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "base/options.hpp"
#include "store/atomic_write.hpp"
#include "widgets/driver_json.hpp"
#include "widgets/driver_request.hpp"

namespace vx::widgets::driver {
namespace {

// Beyond this a PNG of the largest family outgrows what is worth drawing for a screen.
constexpr double kMaxScale = 8;
// Drawn images show the user's data (inbox previews among it): they are the user's alone.
constexpr mode_t kImageMode = 0600;

host::WidgetFamily familyOf(const WidgetKind& kind, const RenderChoices& choices) {
  if (!choices.family) throw UsageError("render needs a family");
  const auto family = host::widgetFamilyFromRaw(*choices.family);
  if (!family) throw UsageError("unknown widget family \"" + *choices.family + "\"");
  const auto& offered = kind.supportedFamilies;
  if (std::find(offered.begin(), offered.end(), *family) == offered.end()) {
    throw UsageError(std::string(kind.kind) + " does not come in " + *choices.family);
  }
  return *family;
}

present::ColorScheme schemeOf(const std::optional<std::string>& scheme) {
  if (!scheme || *scheme == "light") return present::ColorScheme::light;
  if (*scheme == "dark") return present::ColorScheme::dark;
  throw UsageError("unknown scheme \"" + *scheme + "\": light or dark");
}

ui::RenderingMode modeOf(const std::optional<std::string>& mode) {
  if (!mode || *mode == "full") return ui::RenderingMode::fullColor;
  if (*mode == "accented") return ui::RenderingMode::accented;
  throw UsageError("unknown mode \"" + *mode + "\": full or accented");
}

ui::ImageFormat formatOf(const std::optional<std::string>& format) {
  if (!format) return ui::ImageFormat::png;
  const auto known = ui::imageFormatFromRaw(*format);
  if (!known) throw UsageError("unknown format \"" + *format + "\": png, svg or pdf");
  return *known;
}

Answer rectJson(const ui::Rect& rect) {
  return Answer::array({rect.x, rect.y, rect.width, rect.height});
}

Answer describe(const ui::RenderResult& image, const DrawnEntry& drawn, double scale,
                const std::string& path) {
  Answer links = Answer::array();
  for (const ui::LinkArea& link : image.links) {
    links.push_back({{"rect", rectJson(link.rect)}, {"url", link.url}, {"name", link.name}});
  }
  Answer texts = Answer::array();
  for (const ui::TextArea& text : image.texts) {
    texts.push_back({{"text", text.text}, {"rect", rectJson(text.rect)}});
  }
  const bool png = image.format == ui::ImageFormat::png;
  Answer answer = {{"path", path},
                   {"format", ui::rawValue(image.format)},
                   {"size", Answer::array({image.size.width, image.size.height})}};
  answer["pixels"] = png ? Answer::array({image.pixelWidth, image.pixelHeight}) : Answer();
  answer["scale"] = png ? Answer(scale) : Answer();
  answer["date"] = wholeMilliseconds(drawn.date);
  answer["links"] = std::move(links);
  answer["texts"] = std::move(texts);
  return answer;
}

}  // namespace

DrawSettings drawSettings(const WidgetKind& kind, const RenderChoices& choices) {
  DrawSettings settings;
  settings.family = familyOf(kind, choices);
  settings.scheme = schemeOf(choices.scheme);
  settings.format = formatOf(choices.format);
  settings.options.mode = modeOf(choices.mode);
  if (choices.tint) {
    if (!base::isHexColour(*choices.tint)) throw UsageError("a tint is written #RRGGBB");
    settings.options.tint = ui::Color::hex(*choices.tint);
  }
  if (choices.scale) {
    const double scale = *choices.scale;
    if (!std::isfinite(scale) || scale <= 0 || scale > kMaxScale) {
      throw UsageError("a scale is a number above 0 and at most 8");
    }
    settings.options.scale = scale;
  }
  settings.options.platformVersion = choices.platformVersion;
  return settings;
}

Answer renderEntry(const Request& request) {
  const DrawSettings& settings = request.settings;
  DrawnEntry drawn = request.kind->draw(request.source, request.configuration, request.entry,
                                        request.handed, settings);
  if (!drawn.image) throw std::runtime_error("the widget cannot be drawn at this size and scale");
  const std::filesystem::path path = std::filesystem::absolute(request.out);
  // A drawing is made again whenever the host starts, so it is replaced in one step but not
  // flushed to disk: two flushes per drawing, hundreds of drawings a day. A host that names it
  // in a file it keeps flushes it then.
  if (auto failure =
          store::writeAtomically(path, drawn.image->bytes, kImageMode, store::Flush::none)) {
    throw std::runtime_error(failure->description());
  }
  return describe(*drawn.image, drawn, settings.options.scale, path.string());
}

}  // namespace vx::widgets::driver
