#pragma once

// The extension's widget kinds, each with the host's requests it answers in their JSON forms:
// the one table of kinds. Include only from .cpp files: it pulls in nlohmann/json.

#include <optional>
#include <span>
#include <string_view>

#include "model/clock.hpp"
#include "model/json_fields.hpp"
#include "model/shared_snapshot.hpp"
#include "widgets/driver_answer.hpp"
#include "widgets/entry_drawing.hpp"
#include "widgets/kinds.hpp"

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

  // The kind as declared, before the host's platform decides about its push handler.
  [[nodiscard]] virtual const WidgetKind& widget() const = 0;

  // The placeholder entry.
  [[nodiscard]] virtual Answer placeholder() const = 0;
  // The preview entry for a configuration (see driver_json.hpp for its form).
  [[nodiscard]] virtual Answer snapshot(const ConfigurationInput& configuration) const = 0;
  // The timeline for a configuration.
  [[nodiscard]] virtual Answer timeline(const ConfigurationInput& configuration) const = 0;

  // Draws an entry through the kind's entry view: `entry` in its JSON form for `given` (with its
  // snapshot in `handed` when that was decoded as the request was read), one made for
  // `configuration` for a timeline or a preview, or the placeholder. Throws
  // `fields::DecodeError` when the entry does not decode.
  [[nodiscard]] virtual DrawnEntry draw(EntrySource source, const ConfigurationInput& configuration,
                                        const std::optional<fields::Field>& entry,
                                        const SharedSnapshot& handed,
                                        const DrawSettings& settings) const = 0;
};

// Every kind, in the order the host lists them.
[[nodiscard]] std::span<const KindRequests* const> kindTable();

// The kind with this identifier; nothing for an unknown identifier.
[[nodiscard]] const KindRequests* kindRequests(std::string_view identifier);

}  // namespace vx::widgets::driver
