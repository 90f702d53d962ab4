#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "desktop/kind_catalogue.hpp"
#include "host/widget_family.hpp"

namespace vx::desktop {

// Where the gallery's pictures come from: the extension's previews of the cached data, or its
// placeholders when there is nothing to preview, and why.
enum class PreviewSource { previews, signedOut, nothingCached };

// The source for a `preview` answer: previews when its entry carries a snapshot; otherwise
// placeholders, signed out when no session was handed to the widgets.
[[nodiscard]] PreviewSource previewSource(const nlohmann::json& previewEntry, bool sessionSaved);

// The line the gallery shows above placeholders; nothing for previews.
[[nodiscard]] std::optional<std::string> placeholderReason(PreviewSource source);

// A family in words: "small", "medium", "large", "extra large".
[[nodiscard]] std::string familyWords(host::WidgetFamily family);

// What a screen reader says for one widget in the gallery: "Project, small".
[[nodiscard]] std::string familyLabel(const KindInfo& kind, host::WidgetFamily family);

// How many of a kind are placed: "None placed", "1 placed", "2 placed".
[[nodiscard]] std::string placedText(std::size_t count);

}  // namespace vx::desktop
