#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/widget_family.hpp"

namespace vx::desktop {

// One configuration parameter of a kind, as the extension describes it.
struct KindParameter {
  std::string name;                  // the configuration member, "period"
  std::string type;                  // "Project", "Period", "flag", ...
  nlohmann::json defaultValue;       // null when there is none
  std::vector<std::string> choices;  // the allowed values, when the kind lists them
  std::vector<std::string> labels;   // how each choice is shown ("7 days"), in the same order
  std::string title;                 // how the parameter is shown ("Period")
};

struct KindInfo {
  std::string kind;
  std::string name;
  std::string description;
  std::vector<host::WidgetFamily> families;
  std::vector<KindParameter> parameters;

  [[nodiscard]] bool offers(host::WidgetFamily family) const;
};

// The kinds the extension answers `kinds` with. Throws `std::runtime_error` on an answer of
// another shape.
[[nodiscard]] std::vector<KindInfo> kindsFromJson(const nlohmann::json& answer);
[[nodiscard]] const KindInfo* findKind(const std::vector<KindInfo>& kinds, const std::string& kind);

// The command-line option that sets a parameter: "--" and its name with every capital letter
// turned into "-" and the small letter ("showDetails" → "--show-details").
[[nodiscard]] std::string optionName(const std::string& parameter);

// A configuration object for `kind` from option values (option name without "--" → text):
// starts from `base` (the current configuration, or the defaults for a new widget), applies
// every option, and checks each against the parameter's type and choices. Throws
// `std::invalid_argument` with a readable reason for an option the kind does not take or a
// value it does not allow.
[[nodiscard]] nlohmann::json configure(const KindInfo& kind, nlohmann::json base,
                                       const std::map<std::string, std::string>& options);
[[nodiscard]] nlohmann::json defaultConfiguration(const KindInfo& kind);

}  // namespace vx::desktop
