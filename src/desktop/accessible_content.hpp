#pragma once

#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace vx::desktop {

// One thing a screen reader finds in a widget's window: a text, or a tap target named by what
// it says. Places are in points from the widget's top-left corner.
struct AccessibleItem {
  enum class Role { text, link };
  Role role = Role::text;
  std::string name;
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  std::string url;  // links only
  friend bool operator==(const AccessibleItem&, const AccessibleItem&) = default;
};

// The content of a widget's window in reading order, from the record of its drawing (its
// "texts" in reading order and its "links" in painting order, as the extension answers them).
// A text inside a tap target belongs to the link a tap on its centre opens, and is read as that
// link: each link comes once, in the place of its first text; links that hold no text follow
// at the end. Members of the wrong form are passed over, and at most a screenful of items is
// kept.
[[nodiscard]] std::vector<AccessibleItem> accessibleContent(const nlohmann::json& record);

}  // namespace vx::desktop
