#include "desktop/project_choices.hpp"

#include <algorithm>
#include <chrono>

#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace vx::desktop {
namespace {

using Json = nlohmann::json;

// How long the extension answers from its cache without asking the service.
constexpr std::chrono::seconds kFreshness{10};
constexpr const char* kSignInMessage = "Open Vantorix to sign in";

std::string textMember(const Json& object, const char* name) {
  const auto found = object.find(name);
  return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

icu::UnicodeString folded(std::string_view text) {
  icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  unicode.foldCase(U_FOLD_CASE_DEFAULT);
  return unicode;
}

}  // namespace

std::vector<ProjectChoice> projectChoicesFromJson(const Json& answer) {
  std::vector<ProjectChoice> choices;
  if (!answer.is_array()) return choices;
  for (const Json& entry : answer) {
    if (!entry.is_object()) continue;
    ProjectChoice choice{textMember(entry, "id"), textMember(entry, "name")};
    if (choice.id.empty()) continue;
    if (choice.name.empty()) choice.name = choice.id;
    choices.push_back(std::move(choice));
  }
  return choices;
}

bool matchesSearch(std::string_view name, std::string_view search) {
  icu::UnicodeString wanted = folded(search);
  wanted.trim();
  return wanted.isEmpty() || folded(name).indexOf(wanted) >= 0;
}

std::optional<ProjectChoice> configuredProject(const Json& configuration) {
  if (!configuration.is_object()) return std::nullopt;
  const auto project = configuration.find("project");
  if (project == configuration.end()) return std::nullopt;
  ProjectChoice choice;
  if (project->is_string()) {
    choice.id = project->get<std::string>();
  } else if (project->is_object()) {
    choice = {textMember(*project, "id"), textMember(*project, "name")};
  }
  if (choice.id.empty()) return std::nullopt;
  if (choice.name.empty()) choice.name = choice.id;
  return choice;
}

std::vector<ProjectRow> projectRows(const std::vector<ProjectChoice>& offered,
                                    const std::optional<ProjectChoice>& configured) {
  std::vector<ProjectRow> rows;
  const bool offeredStill =
      configured && std::any_of(offered.begin(), offered.end(),
                                [&](const ProjectChoice& p) { return p.id == configured->id; });
  if (configured && !offeredStill) rows.push_back({*configured, true, true});
  for (const ProjectChoice& project : offered) {
    rows.push_back({project, configured && project.id == configured->id, false});
  }
  return rows;
}

ProjectSource projectSourceOf(const Json& timeline, Time asked) {
  const Json entries = timeline.is_object() ? timeline.value("entries", Json()) : Json();
  if (!entries.is_array() || entries.empty() || !entries.front().is_object()) {
    return ProjectSource::unreachable;
  }
  const Json& entry = entries.front();
  const auto snapshot = entry.find("snapshot");
  if (snapshot == entry.end() || !snapshot->is_object()) {
    return textMember(entry, "message") == kSignInMessage ? ProjectSource::signedOut
                                                          : ProjectSource::unreachable;
  }
  const auto at = snapshot->find("at");
  if (at == snapshot->end() || !at->is_number()) return ProjectSource::unreachable;
  const auto askedMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(asked.time_since_epoch()).count();
  const double age = static_cast<double>(askedMs) - at->get<double>();
  return age > static_cast<double>(std::chrono::milliseconds(kFreshness).count())
             ? ProjectSource::unreachable
             : ProjectSource::current;
}

std::optional<std::string> projectListNote(ProjectSource source, bool empty) {
  switch (source) {
    case ProjectSource::signedOut:
      return empty ? "You're signed out. Open Vantorix to sign in and choose a project."
                   : "You're signed out. These are the projects from the last update.";
    case ProjectSource::unreachable:
      return empty ? "Vantorix can't be reached, and no projects were saved before."
                   : "Vantorix can't be reached. These are the projects from the last update.";
    case ProjectSource::current:
      break;
  }
  if (empty) return "This account has no projects yet.";
  return std::nullopt;
}

}  // namespace vx::desktop
