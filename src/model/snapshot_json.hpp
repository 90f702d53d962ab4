#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "model/snapshot.hpp"

namespace vx {

// The "snapshot.json" form: dates as milliseconds since 1970, optional members left out when
// empty. Encoding gives nothing when a real value is not a finite number or a text is not
// valid UTF-8.
[[nodiscard]] std::optional<std::string> encodeSnapshot(const Snapshot& snapshot);

// Nothing when the document is not a complete, well-typed snapshot.
[[nodiscard]] std::optional<Snapshot> decodeSnapshot(std::string_view document);
// The same from a value already parsed (by the strict reader of json_fields.hpp), for documents
// that embed a snapshot.
[[nodiscard]] std::optional<Snapshot> snapshotFromJson(const nlohmann::json& value);

// The same form as a JSON value, for documents that embed a snapshot. Nothing when a real
// value is not a finite number.
[[nodiscard]] std::optional<nlohmann::json> snapshotToJson(const Snapshot& snapshot);

// A date as "snapshot.json" writes it: milliseconds since 1970, with a fraction only when the
// instant has one.
[[nodiscard]] nlohmann::json timeToJson(Time at);

}  // namespace vx
