#include "desktop/gallery_texts.hpp"

namespace vx::desktop {

PreviewSource previewSource(const nlohmann::json& previewEntry, bool sessionSaved) {
  const bool cached = previewEntry.is_object() && previewEntry.contains("snapshot") &&
                      previewEntry.at("snapshot").is_object();
  if (cached) return PreviewSource::previews;
  return sessionSaved ? PreviewSource::nothingCached : PreviewSource::signedOut;
}

std::optional<std::string> placeholderReason(PreviewSource source) {
  switch (source) {
    case PreviewSource::previews:
      return std::nullopt;
    case PreviewSource::signedOut:
      return "Signed out of Vantorix, so these are placeholders";
    case PreviewSource::nothingCached:
      return "No projects loaded yet, so these are placeholders";
  }
  return std::nullopt;
}

std::string familyWords(host::WidgetFamily family) {
  switch (family) {
    case host::WidgetFamily::systemSmall:
      return "small";
    case host::WidgetFamily::systemMedium:
      return "medium";
    case host::WidgetFamily::systemLarge:
      return "large";
    case host::WidgetFamily::systemExtraLarge:
      return "extra large";
  }
  return "";
}

std::string familyLabel(const KindInfo& kind, host::WidgetFamily family) {
  return kind.name + ", " + familyWords(family);
}

std::string placedText(std::size_t count) {
  return count == 0 ? "None placed" : std::to_string(count) + " placed";
}

}  // namespace vx::desktop
