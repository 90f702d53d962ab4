#pragma once

// The host's requests for one widget kind, each answered in its JSON form. Include only from
// .cpp files: it pulls in nlohmann/json.

#include <span>
#include <string_view>

#include <nlohmann/json.hpp>

#include "model/clock.hpp"
#include "model/json_fields.hpp"
#include "widgets/entry_drawing.hpp"
#include "widgets/intents.hpp"

namespace vx::widgets::driver {

// Which entry to draw: one the host hands back, or the first of a fresh timeline, a preview or
// the placeholder.
enum class EntrySource { given, timeline, preview, placeholder };

// An entry drawn for the host, and the date it was drawn for.
struct DrawnEntry {
  std::optional<ui::RenderResult> image;
  Time date;
};

class KindRequests {
 public:
  virtual ~KindRequests() = default;

  // The parameters of the kind's configuration.
  [[nodiscard]] virtual std::span<const IntentParameter> parameters() const = 0;

  // The placeholder entry.
  [[nodiscard]] virtual nlohmann::ordered_json placeholder() const = 0;
  // The preview entry for a configuration (see driver_json.hpp for its form).
  [[nodiscard]] virtual nlohmann::ordered_json snapshot(
      const fields::Field& configuration) const = 0;
  // The timeline for a configuration.
  [[nodiscard]] virtual nlohmann::ordered_json timeline(
      const fields::Field& configuration) const = 0;

  // Draws an entry through the kind's entry view. `input` is the entry in its JSON form for
  // `given`, the configuration for a timeline or a preview, and is not read for the placeholder.
  // Throws `fields::DecodeError` when the input does not decode.
  [[nodiscard]] virtual DrawnEntry draw(EntrySource source, const fields::Field& input,
                                        const DrawSettings& settings) const = 0;
};

// The requests of the kind with this identifier; nothing for an unknown identifier.
[[nodiscard]] const KindRequests* kindRequests(std::string_view identifier);

}  // namespace vx::widgets::driver
