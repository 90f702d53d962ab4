#pragma once

// Drawing an entry for the host: the host's choices read and checked, the entry drawn through
// its kind's view, the image written whole and described in JSON.

#include <optional>
#include <stdexcept>
#include <string>

#include "widgets/driver_answer.hpp"
#include "widgets/entry_drawing.hpp"
#include "widgets/kinds.hpp"

namespace vx::widgets::driver {

// A request the host got wrong before anything was drawn: an unknown value, or a family the kind
// does not offer.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The host's drawing choices as given; anything absent takes its default (light, full colour,
// the default tint, PNG at scale 2).
struct RenderChoices {
  std::optional<std::string> family;  // required, one the kind offers
  std::optional<std::string> scheme;  // "light" or "dark"
  std::optional<std::string> mode;    // "full" or "accented"
  std::optional<std::string> tint;    // "#RRGGBB"
  std::optional<std::string> format;  // "png", "svg" or "pdf"
  std::optional<double> scale;        // pixels per point for PNG
  int platformVersion = 26;
};

// The settings for drawing `kind`. Throws `UsageError` naming the first choice that is wrong.
[[nodiscard]] DrawSettings drawSettings(const WidgetKind& kind, const RenderChoices& choices);

struct Request;

// Draws the entry a render request names (see `KindRequests::draw`), writes the image to its
// path as a whole-file replacement and answers
//   {"path", "format", "size": [w, h] in points, "pixels": [w, h] or null, "scale" or null,
//    "date", "links": [{"rect": [x, y, w, h] in points, "url"}]}
// ("pixels" and "scale" are those of a PNG; vector images carry null). Throws
// `fields::DecodeError` for an input that does not decode and `std::runtime_error` when the image
// cannot be drawn or written; nothing is left behind then.
[[nodiscard]] Answer renderEntry(const Request& request);

}  // namespace vx::widgets::driver
