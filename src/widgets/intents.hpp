#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "widgets/period_option.hpp"

// The choices a user makes for each placed widget. The host stores them per widget and hands
// them to the providers with every request; a value-initialised record holds the defaults.
namespace vx::widgets {

// A project to choose from: identified by its slug, shown by its name alone.
struct ProjectEntity {
  static constexpr std::string_view kTypeName = "Project";

  std::string id;
  std::string name;

  bool operator==(const ProjectEntity&) const = default;
};

// One parameter as the host's editing panel shows it.
struct IntentParameter {
  std::string_view name;
  std::string_view title;
};

struct ProjectSummaryIntent {
  static constexpr std::string_view kTitle = "Project and period";
  static constexpr std::array<IntentParameter, 2> kParameters = {{
      {"project", "Project"},
      {"period", "Period"},
  }};

  // None: the widget picks an active project itself.
  std::optional<ProjectEntity> project;
  PeriodOption period = PeriodOption::days7;

  bool operator==(const ProjectSummaryIntent&) const = default;
};

struct AllProjectsIntent {
  static constexpr std::string_view kTitle = "Period";
  static constexpr std::array<IntentParameter, 1> kParameters = {{
      {"period", "Period"},
  }};

  PeriodOption period = PeriodOption::days7;

  bool operator==(const AllProjectsIntent&) const = default;
};

struct WaitingIntent {
  static constexpr std::string_view kTitle = "Needs you";
  static constexpr std::array<IntentParameter, 1> kParameters = {{
      {"showDetails", "Show names and messages"},
  }};

  bool showDetails = true;

  bool operator==(const WaitingIntent&) const = default;
};

}  // namespace vx::widgets
