#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/widget_family.hpp"

namespace vx::desktop {

// Where a widget sits on the desktop, in points from the top left corner.
struct Position {
  int x = 0;
  int y = 0;
  bool operator==(const Position&) const = default;
};

// One widget the user placed: which kind, how big, how it is configured and where it is.
// `configuration` holds the members of the extension's configuration object (`project`,
// `period`, `showDetails`), only those the kind takes.
struct Placement {
  std::string id;
  std::string kind;
  host::WidgetFamily family = host::WidgetFamily::systemSmall;
  nlohmann::json configuration = nlohmann::json::object();
  Position position;
  bool operator==(const Placement&) const = default;
};

// Everything the host keeps about the user's widgets: the placements and the push token the
// host handed the extension for them (two hexadecimal digits per byte).
struct Placements {
  std::string pushToken;
  std::vector<Placement> widgets;

  [[nodiscard]] const Placement* find(const std::string& id) const;
  [[nodiscard]] Placement* find(const std::string& id);
  // A fresh identifier: one more than the largest number in use ("1", "2", ...).
  [[nodiscard]] std::string nextId() const;
};

// Whether `id` can name a widget: 1 to 64 ASCII letters, digits, "_" or "-". A widget's id goes
// into the names of its images, so nothing that could lead out of a folder may be in it.
[[nodiscard]] bool isWidgetId(std::string_view id);

// $XDG_CONFIG_HOME/vantorix-widget-host (or ~/.config/... when unset or relative); nothing
// when neither that variable nor HOME gives an absolute path.
[[nodiscard]] std::optional<std::filesystem::path> configFolder();
[[nodiscard]] std::filesystem::path placementsFile(const std::filesystem::path& folder);

// The file's JSON form, and back. Reading throws `std::runtime_error` with a readable reason
// for a document that is not a placements file (so that a damaged file is never overwritten
// with an empty list by mistake).
[[nodiscard]] nlohmann::json toJson(const Placements& placements);
[[nodiscard]] Placements placementsFromJson(const nlohmann::json& document);

// Reads the file: an absent file is an empty set of placements with no push token yet.
// Throws `std::runtime_error` when the file exists but cannot be read or understood.
[[nodiscard]] Placements loadPlacements(const std::filesystem::path& file);
// Replaces the file whole and atomically (a missing folder is created, private to the user; an
// existing one keeps its modes).
// Throws `std::runtime_error` when it cannot.
void savePlacements(const std::filesystem::path& file, const Placements& placements);

// 32 random bytes as 64 lowercase hexadecimal digits: a new push token for the widgets.
[[nodiscard]] std::string newPushToken();

}  // namespace vx::desktop
