#include "desktop/link_map.hpp"

#include <array>

namespace vx::desktop {
namespace {

using Json = nlohmann::json;

bool contains(const Json& rect, double x, double y) {
  if (!rect.is_array() || rect.size() != 4) return false;
  std::array<double, 4> r{};
  for (std::size_t i = 0; i < r.size(); ++i) {
    if (!rect[i].is_number()) return false;
    r[i] = rect[i].get<double>();
  }
  return x >= r[0] && y >= r[1] && x < r[0] + r[2] && y < r[1] + r[3];
}

}  // namespace

std::optional<std::string> linkAt(const Json& links, double x, double y) {
  if (!links.is_array()) return std::nullopt;
  for (auto link = links.rbegin(); link != links.rend(); ++link) {
    if (!link->is_object()) continue;
    const auto rect = link->find("rect");
    const auto url = link->find("url");
    if (rect == link->end() || url == link->end() || !url->is_string()) continue;
    if (contains(*rect, x, y)) return url->get<std::string>();
  }
  return std::nullopt;
}

}  // namespace vx::desktop
