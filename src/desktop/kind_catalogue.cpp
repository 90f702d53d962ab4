#include "desktop/kind_catalogue.hpp"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace vx::desktop {
namespace {

using Json = nlohmann::json;

const Json& required(const Json& object, const char* name) {
  const auto found = object.find(name);
  if (found == object.end()) {
    throw std::runtime_error(std::string("the extension's kinds lack \"") + name + "\"");
  }
  return *found;
}

KindParameter parameterFromJson(const Json& entry) {
  KindParameter parameter;
  parameter.name = required(entry, "name").get<std::string>();
  parameter.type = required(entry, "type").get<std::string>();
  parameter.defaultValue = entry.value("default", Json());
  parameter.title = entry.value("title", parameter.name);
  if (const auto choices = entry.find("choices"); choices != entry.end()) {
    for (const Json& choice : *choices) {
      parameter.choices.push_back(choice.at("value").get<std::string>());
      parameter.labels.push_back(choice.value("label", parameter.choices.back()));
    }
  }
  return parameter;
}

Json valueFor(const KindParameter& parameter, const std::string& text) {
  if (parameter.type == "flag") {
    if (text == "true") return true;
    if (text == "false") return false;
    throw std::invalid_argument(optionName(parameter.name) + " takes true or false, not \"" + text +
                                "\"");
  }
  if (!parameter.choices.empty() && std::find(parameter.choices.begin(), parameter.choices.end(),
                                              text) == parameter.choices.end()) {
    std::string allowed;
    for (const std::string& choice : parameter.choices)
      allowed += (allowed.empty() ? "" : ", ") + choice;
    throw std::invalid_argument(optionName(parameter.name) + " takes one of " + allowed +
                                ", not \"" + text + "\"");
  }
  if (text.empty()) throw std::invalid_argument(optionName(parameter.name) + " needs a value");
  return text;
}

}  // namespace

bool KindInfo::offers(host::WidgetFamily family) const {
  return std::find(families.begin(), families.end(), family) != families.end();
}

std::vector<KindInfo> kindsFromJson(const Json& answer) {
  try {
    if (!answer.is_array()) throw std::runtime_error("the extension's kinds are not a list");
    std::vector<KindInfo> kinds;
    for (const Json& entry : answer) {
      KindInfo info;
      info.kind = required(entry, "kind").get<std::string>();
      info.name = entry.value("name", info.kind);
      info.description = entry.value("description", "");
      for (const Json& family : required(entry, "families")) {
        if (auto known = host::widgetFamilyFromRaw(family.get<std::string>())) {
          info.families.push_back(*known);
        }
      }
      const Json& configuration = required(entry, "configuration");
      for (const Json& parameter : required(configuration, "parameters")) {
        info.parameters.push_back(parameterFromJson(parameter));
      }
      kinds.push_back(std::move(info));
    }
    return kinds;
  } catch (const Json::exception& error) {
    throw std::runtime_error(std::string("the extension's kinds cannot be read: ") + error.what());
  }
}

const KindInfo* findKind(const std::vector<KindInfo>& kinds, const std::string& kind) {
  for (const KindInfo& info : kinds) {
    if (info.kind == kind) return &info;
  }
  return nullptr;
}

std::string optionName(const std::string& parameter) {
  std::string option = "--";
  for (const char c : parameter) {
    if (std::isupper(static_cast<unsigned char>(c))) {
      option += '-';
      option += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else {
      option += c;
    }
  }
  return option;
}

Json defaultConfiguration(const KindInfo& kind) {
  Json configuration = Json::object();
  for (const KindParameter& parameter : kind.parameters) {
    if (!parameter.defaultValue.is_null()) configuration[parameter.name] = parameter.defaultValue;
  }
  return configuration;
}

Json configure(const KindInfo& kind, Json base, const std::map<std::string, std::string>& options) {
  if (!base.is_object()) base = Json::object();
  for (const auto& [option, text] : options) {
    const auto parameter =
        std::find_if(kind.parameters.begin(), kind.parameters.end(),
                     [&](const KindParameter& p) { return optionName(p.name) == "--" + option; });
    if (parameter == kind.parameters.end()) {
      throw std::invalid_argument(kind.kind + " takes no option --" + option);
    }
    base[parameter->name] = valueFor(*parameter, text);
  }
  return base;
}

}  // namespace vx::desktop
