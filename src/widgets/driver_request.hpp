#pragma once

// What the host asks of the extension, and its answer. The command line makes the request from
// its options, `serve` from a JSON line; both answer it here.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "widgets/driver_kinds.hpp"

namespace vx::widgets::driver {

struct Request {
  enum class Op {
    kinds,
    placeholder,
    snapshot,
    timeline,
    projects,
    entities,
    pushHandOver,
    render
  };

  Op op = Op::kinds;
  // The kind asked about (placeholder, snapshot, timeline, render).
  const KindRequests* kind = nullptr;
  // The widget's configuration (snapshot, timeline; render of a fresh timeline or a preview).
  ConfigurationInput configuration;
  // The slugs asked for (entities).
  std::vector<std::string> ids;
  // The widgets' push token and the number of widgets that use it (push hand-over).
  std::vector<std::uint8_t> token;
  std::size_t widgets = 0;
  // What to draw, how and where (render). `entry` is the entry handed back in its JSON form; the
  // document it lies in outlives the request.
  EntrySource source = EntrySource::timeline;
  std::optional<fields::Field> entry;
  // The entry's snapshot, when it was decoded as the request was read (its member is then null).
  SharedSnapshot handed;
  DrawSettings settings;
  std::string out;
};

// The result, in the JSON forms of driver_json.hpp. Throws `fields::DecodeError` for an entry
// that does not decode or a push hand-over without a push handler, `std::runtime_error` for an
// image that cannot be drawn or written.
[[nodiscard]] Answer answer(const Request& request);

}  // namespace vx::widgets::driver
