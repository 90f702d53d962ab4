#include "desktop/accessible_content.hpp"

#include <cmath>
#include <optional>

#include <nlohmann/json.hpp>

namespace vx::desktop {
namespace {

using Json = nlohmann::json;

// More than any widget draws; a drawing that claims more is cut short rather than turned into
// thousands of objects on the accessibility bus.
constexpr std::size_t kMaxItems = 200;

// The item's name and place from {"<nameKey>": text, "rect": [x, y, w, h]}; absent when either is
// missing or not a finite, non-negative size.
std::optional<AccessibleItem> itemOf(const Json& member, const char* nameKey,
                                     AccessibleItem::Role role) {
  if (!member.is_object()) return std::nullopt;
  const auto name = member.find(nameKey);
  const auto rect = member.find("rect");
  if (name == member.end() || !name->is_string() || rect == member.end() || !rect->is_array() ||
      rect->size() != 4) {
    return std::nullopt;
  }
  double r[4];
  for (std::size_t i = 0; i < 4; ++i) {
    if (!(*rect)[i].is_number()) return std::nullopt;
    r[i] = (*rect)[i].get<double>();
    if (!std::isfinite(r[i])) return std::nullopt;
  }
  if (r[2] < 0 || r[3] < 0) return std::nullopt;
  return AccessibleItem{role, name->get<std::string>(), r[0], r[1], r[2], r[3], {}};
}

std::vector<AccessibleItem> linksOf(const Json& record) {
  std::vector<AccessibleItem> links;
  const auto found = record.find("links");
  if (found == record.end() || !found->is_array()) return links;
  for (const Json& member : *found) {
    auto link = itemOf(member, "name", AccessibleItem::Role::link);
    const auto url = link ? member.find("url") : member.end();
    if (!link || url == member.end() || !url->is_string() || url->get<std::string>().empty())
      continue;
    link->url = url->get<std::string>();
    // A link that says nothing is still announced, by where it leads.
    if (link->name.empty()) link->name = link->url;
    links.push_back(std::move(*link));
    if (links.size() == kMaxItems) break;
  }
  return links;
}

bool contains(const AccessibleItem& area, double x, double y) {
  return x >= area.x && y >= area.y && x < area.x + area.width && y < area.y + area.height;
}

// The link a tap on the text's centre opens: the last painted one containing it.
std::optional<std::size_t> ownerOf(const AccessibleItem& text,
                                   const std::vector<AccessibleItem>& links) {
  const double x = text.x + text.width / 2, y = text.y + text.height / 2;
  for (std::size_t i = links.size(); i-- > 0;) {
    if (contains(links[i], x, y)) return i;
  }
  return std::nullopt;
}

}  // namespace

std::vector<AccessibleItem> accessibleContent(const Json& record) {
  std::vector<AccessibleItem> items;
  if (!record.is_object()) return items;
  const std::vector<AccessibleItem> links = linksOf(record);
  std::vector<bool> placed(links.size(), false);
  const auto texts = record.find("texts");
  if (texts != record.end() && texts->is_array()) {
    for (const Json& member : *texts) {
      if (items.size() == kMaxItems) break;
      auto text = itemOf(member, "text", AccessibleItem::Role::text);
      if (!text || text->name.empty()) continue;
      const auto owner = ownerOf(*text, links);
      if (!owner) {
        items.push_back(std::move(*text));
      } else if (!placed[*owner]) {
        placed[*owner] = true;
        items.push_back(links[*owner]);
      }
    }
  }
  for (std::size_t i = 0; i < links.size() && items.size() < kMaxItems; ++i) {
    if (!placed[i]) items.push_back(links[i]);
  }
  return items;
}

}  // namespace vx::desktop
