#pragma once

// The JSON forms the driver speaks with the host: configurations in, entries, timelines,
// kinds and project choices out. Dates are milliseconds since 1970, snapshots are in the
// "snapshot.json" form. Include only from .cpp files: it pulls in nlohmann/json.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/timeline.hpp"
#include "model/json_fields.hpp"
#include "model/snapshot_json.hpp"
#include "widgets/driver_answer.hpp"
#include "widgets/entries.hpp"
#include "widgets/intents.hpp"
#include "widgets/kinds.hpp"
#include "widgets/snapshot_texts.hpp"

namespace vx::widgets::driver {

// Reads a configuration object for a kind with these parameters. Each member is optional (a
// missing or null member takes the parameter's default):
//   "project":     a slug, or {"id": slug, "name": name}
//   "period":      any text
//   "showDetails": true or false
// A member the kind does not have, or one of the wrong type, throws `fields::DecodeError`.
[[nodiscard]] ConfigurationInput configurationInput(const fields::Field& configuration,
                                                    std::span<const IntentParameter> parameters);

// Each kind's configuration from the parameters given. A bare slug takes the name the cached
// snapshot gives its project, and is its own name when there is none; a period that names no
// option (one stored by another build) takes the default, "days7".
[[nodiscard]] ProjectSummaryIntent projectSummaryIntent(const ConfigurationInput& input);
[[nodiscard]] AllProjectsIntent allProjectsIntent(const ConfigurationInput& input);
[[nodiscard]] WaitingIntent waitingIntent(const ConfigurationInput& input);

[[nodiscard]] Answer toJson(const ProjectEntity& entity);
[[nodiscard]] Answer toJson(const std::vector<ProjectEntity>& entities);
[[nodiscard]] Answer toJson(const ProjectSummaryIntent& intent);
[[nodiscard]] Answer toJson(const AllProjectsIntent& intent);
[[nodiscard]] Answer toJson(const WaitingIntent& intent);

// A date of an entry or a reload policy as the host reads it: whole milliseconds since 1970, any
// fraction of a millisecond rounded up. A date never moves into the past: the entry made for the
// end of the live window, shown a fraction early, would still show the live figures. Snapshots
// keep their own form.
[[nodiscard]] Answer wholeMilliseconds(Time at);

// {"date", "message", "snapshot" (left out when there is none), "configuration"}.
template <class Configuration>
[[nodiscard]] Answer toJson(const WidgetEntry<Configuration>& entry) {
  Answer object = {{"date", wholeMilliseconds(entry.date)}, {"message", entry.message}};
  if (entry.snapshot) {
    if (auto snapshot = SnapshotTexts::valueFor(entry.snapshot)) {
      object["snapshot"] = std::move(*snapshot);
    }
  }
  object["configuration"] = toJson(entry.configuration);
  return object;
}

// An entry's date and snapshot as `toJson` writes them. The date takes whole milliseconds since
// 1970 within the clock's range; the snapshot, when present, must decode whole. Both throw
// `fields::DecodeError` naming the member.
[[nodiscard]] Time entryDate(const fields::Field& date);
[[nodiscard]] std::optional<Snapshot> entrySnapshot(const fields::Field& snapshot);

// An entry read back from its JSON form, its configuration resolved by `resolve`: what a host
// hands back to have an entry of its timeline drawn. Its snapshot is `handed` when that was
// decoded before. Throws `fields::DecodeError`.
template <class Configuration>
[[nodiscard]] WidgetEntry<Configuration> entryFromJson(
    const fields::Field& entry, Configuration (*resolve)(const ConfigurationInput&),
    const SharedSnapshot& handed = {}) {
  entry.requireObject();
  WidgetEntry<Configuration> decoded;
  decoded.date = entryDate(entry.member("date"));
  decoded.message = entry.member("message").text();
  decoded.snapshot = handed ? handed : SharedSnapshot(entrySnapshot(entry.member("snapshot")));
  decoded.configuration =
      resolve(configurationInput(entry.member("configuration"), Configuration::kParameters));
  return decoded;
}

// {"entries": [...], "reloadAt"}.
template <class Entry>
[[nodiscard]] Answer toJson(const host::Timeline<Entry>& timeline) {
  Answer entries = Answer::array();
  for (const Entry& entry : timeline.entries) entries.push_back(toJson(entry));
  return {{"entries", std::move(entries)}, {"reloadAt", wholeMilliseconds(timeline.policy.at)}};
}

// {"kind", "name", "description", "families", "pushHandler", "configuration": {"title",
// "parameters": [{"name", "title"}]}}.
[[nodiscard]] Answer toJson(const WidgetKind& kind);

}  // namespace vx::widgets::driver
