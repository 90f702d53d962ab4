#include "widgets/driver_json.hpp"

#include <algorithm>
#include <chrono>
#include <span>
#include <string>

#include "widgets/project_entity_query.hpp"

namespace vx::widgets::driver {
namespace {

// Rejects members that are not among the kind's parameters, so that a misspelt name is not
// silently ignored.
void requireOnly(const fields::Field& configuration, std::span<const IntentParameter> parameters) {
  configuration.requireObject();
  for (const auto& [name, value] : configuration.value().items()) {
    const bool known = std::any_of(parameters.begin(), parameters.end(),
                                   [&](const IntentParameter& p) { return p.name == name; });
    if (!known) configuration.member(name).fail("is not a parameter of this widget");
  }
}

PeriodOption periodOf(const std::optional<std::string>& raw) {
  if (!raw) return PeriodOption::days7;
  return periodOptionFromRaw(*raw).value_or(PeriodOption::days7);
}

std::optional<ProjectEntity> projectOf(const std::optional<ConfigurationInput::Project>& project) {
  if (!project) return std::nullopt;
  if (project->name) return ProjectEntity{project->id, *project->name};
  // A bare slug is shown by the name the cache knows for it, or else by itself.
  if (auto cached = ProjectEntityQuery::cachedEntity(project->id)) return cached;
  return ProjectEntity{project->id, project->id};
}

std::optional<ConfigurationInput::Project> projectInput(const fields::Field& project) {
  if (project.absent()) return std::nullopt;
  if (project.value().is_string()) {
    std::string slug = project.text();
    if (slug.empty()) project.fail("is an empty slug");
    return ConfigurationInput::Project{std::move(slug), std::nullopt};
  }
  project.requireObject();
  ConfigurationInput::Project entity{project.member("id").text(), project.member("name").text()};
  if (entity.id.empty()) project.member("id").fail("is an empty slug");
  return entity;
}

// What the editing panel needs to offer a parameter: its type, default and, for the period,
// the choices with their labels. The projects to choose from come from the "projects" request.
Answer parameterJson(const IntentParameter& parameter) {
  Answer object = {{"name", parameter.name}, {"title", parameter.title}};
  if (parameter.name == "project") {
    object["type"] = ProjectEntity::kTypeName;
    object["default"] = nullptr;
  } else if (parameter.name == "period") {
    object["type"] = kPeriodOptionTypeName;
    object["default"] = rawValue(PeriodOption::days7);
    Answer choices = Answer::array();
    for (PeriodOption option : kAllPeriodOptions) {
      choices.push_back({{"value", rawValue(option)}, {"label", label(option)}});
    }
    object["choices"] = std::move(choices);
  } else {
    object["type"] = "flag";
    object["default"] = WaitingIntent{}.showDetails;
  }
  return object;
}

Answer configurationJson(std::string_view title, std::span<const IntentParameter> parameters) {
  Answer list = Answer::array();
  for (const IntentParameter& parameter : parameters) list.push_back(parameterJson(parameter));
  return {{"title", title}, {"parameters", std::move(list)}};
}

}  // namespace

ConfigurationInput configurationInput(const fields::Field& configuration,
                                      std::span<const IntentParameter> parameters) {
  ConfigurationInput input;
  if (configuration.absent()) return input;
  requireOnly(configuration, parameters);
  // Only the kind's own parameters are present now, read in the order they are checked.
  input.project = projectInput(configuration.member("project"));
  input.period = configuration.member("period").optionalText();
  input.showDetails = configuration.member("showDetails").optionalBoolean();
  return input;
}

ProjectSummaryIntent projectSummaryIntent(const ConfigurationInput& input) {
  return {projectOf(input.project), periodOf(input.period)};
}

AllProjectsIntent allProjectsIntent(const ConfigurationInput& input) {
  return {periodOf(input.period)};
}

WaitingIntent waitingIntent(const ConfigurationInput& input) {
  return {input.showDetails.value_or(true)};
}

Answer wholeMilliseconds(Time at) {
  return std::chrono::ceil<std::chrono::milliseconds>(at.time_since_epoch()).count();
}

Time entryDate(const fields::Field& date) {
  // Whole milliseconds that the clock's microseconds can hold.
  constexpr std::int64_t kLimit = 9'200'000'000'000'000;
  const std::int64_t milliseconds = date.integer();
  if (milliseconds <= -kLimit || milliseconds >= kLimit) date.fail("is out of the clock's range");
  return Time(std::chrono::milliseconds(milliseconds));
}

std::optional<Snapshot> entrySnapshot(const fields::Field& snapshot) {
  if (snapshot.absent()) return std::nullopt;
  snapshot.requireObject();
  auto decoded = snapshotFromJson(snapshot.value());
  if (!decoded) snapshot.fail("is not a complete snapshot");
  return decoded;
}

Answer toJson(const ProjectEntity& entity) {
  return {{"id", entity.id}, {"name", entity.name}};
}

Answer toJson(const std::vector<ProjectEntity>& entities) {
  Answer list = Answer::array();
  for (const ProjectEntity& entity : entities) list.push_back(toJson(entity));
  return list;
}

Answer toJson(const ProjectSummaryIntent& intent) {
  Answer object = Answer::object();
  if (intent.project) object["project"] = toJson(*intent.project);
  object["period"] = rawValue(intent.period);
  return object;
}

Answer toJson(const AllProjectsIntent& intent) {
  return {{"period", rawValue(intent.period)}};
}

Answer toJson(const WaitingIntent& intent) {
  return {{"showDetails", intent.showDetails}};
}

Answer toJson(const WidgetKind& kind) {
  Answer families = Answer::array();
  for (host::WidgetFamily family : kind.supportedFamilies) families.push_back(rawValue(family));
  return {{"kind", kind.kind},
          {"name", kind.displayName},
          {"description", kind.description},
          {"families", std::move(families)},
          {"pushHandler", kind.pushHandler != nullptr},
          {"configuration", configurationJson(kind.configurationTitle, kind.parameters)}};
}

}  // namespace vx::widgets::driver
