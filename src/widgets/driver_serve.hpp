#pragma once

namespace vx::widgets::driver {

// The long-lived extension process: one JSON request per line on standard input, one JSON
// answer per line on standard output carrying the request's "id".
//
//   {"id": 1, "op": "timeline", "kind": "AllProjectsWidget", "configuration": {"period": "days28"}}
//   {"id": 1, "result": {"entries": [...], "reloadAt": 1773144900000}}
//
// Operations: "kinds", "placeholder" (kind), "snapshot" and "timeline" (kind, configuration),
// "projects", "entities" ("ids": [slug, ...]), "pushTokenDidChange" ("token": hex,
// "widgets": count). Requests run concurrently, so answers may come in any order; requests that
// do no network work never wait behind a refresh, and push hand-overs take effect in the order
// their lines arrived. A line that cannot be answered gets {"id": ..., "error": "..."}: the id is
// null when the line is not a JSON object, and left out when the request carries none. The
// process serves on; end of input ends it once every request and push report is done.
// Answers the exit status.
[[nodiscard]] int serve();

}  // namespace vx::widgets::driver
