#include "desktop/placement_check.hpp"

#include <algorithm>
#include <stdexcept>

namespace vx::desktop {
namespace {

using Json = nlohmann::json;

// The problem with one configuration member, checked as the command line's options are.
std::optional<std::string> memberProblem(const KindInfo& kind, const std::string& name,
                                         const Json& value) {
  const auto parameter = std::find_if(kind.parameters.begin(), kind.parameters.end(),
                                      [&](const KindParameter& p) { return p.name == name; });
  if (parameter == kind.parameters.end()) return kind.kind + " takes no \"" + name + "\"";
  if (parameter->type == "flag") {
    if (value.is_boolean()) return std::nullopt;
    return "\"" + name + "\" is true or false, not " + value.dump();
  }
  if (!value.is_string()) return "\"" + name + "\" is a text, not " + value.dump();
  try {
    (void)configure(kind, Json::object(), {{optionName(name).substr(2), value.get<std::string>()}});
  } catch (const std::invalid_argument& error) {
    return error.what();
  }
  return std::nullopt;
}

}  // namespace

std::string familiesOf(const KindInfo& kind) {
  std::string offered;
  for (const auto family : kind.families)
    offered += (offered.empty() ? "" : ", ") + std::string(host::rawValue(family));
  return offered;
}

std::optional<std::string> placementProblem(const Placement& placement,
                                            const std::vector<KindInfo>& kinds) {
  if (!isWidgetId(placement.id)) {
    return "widget id " + Json(placement.id).dump() +
           " is not 1 to 64 letters, digits, \"_\" or \"-\"";
  }
  const std::string widget = "widget " + placement.id + ": ";
  const KindInfo* kind = findKind(kinds, placement.kind);
  if (kind == nullptr) return widget + "unknown widget kind " + Json(placement.kind).dump();
  if (!kind->offers(placement.family)) {
    return widget + kind->kind + " comes in " + familiesOf(*kind) + ", not \"" +
           std::string(host::rawValue(placement.family)) + "\"";
  }
  for (const auto& [name, value] : placement.configuration.items()) {
    if (auto problem = memberProblem(*kind, name, value)) return widget + *problem;
  }
  return std::nullopt;
}

}  // namespace vx::desktop
