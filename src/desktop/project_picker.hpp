#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtk/gtk.h>

#include "desktop/project_choices.hpp"

namespace vx::desktop {

// The editor's project field: a search field, the projects below it filtered by name as the
// user types (Return picks the first one shown), the chosen one marked with a check, one that
// is no longer offered said to be so, and a line saying why the list holds what it holds.
class ProjectPicker {
 public:
  using Picked = std::function<void(const ProjectChoice&)>;

  ProjectPicker(std::optional<ProjectChoice> configured, Picked picked);
  ProjectPicker(const ProjectPicker&) = delete;
  ProjectPicker& operator=(const ProjectPicker&) = delete;

  // The field's widgets in one box, to put in the editor; destroyed with it.
  [[nodiscard]] GtkWidget* widget() const { return box_; }
  // Shows `projects` to choose from; `source` says where they came from (given later when it
  // is not known yet).
  void offer(const std::vector<ProjectChoice>& projects);
  void tellSource(ProjectSource source);

 private:
  void fill();
  void mark(const std::string& id);
  void updateNote();
  [[nodiscard]] GtkWidget* rowFor(const ProjectRow& row);
  static gboolean filter(GtkListBoxRow* row, gpointer data);
  static void searchChanged(GtkSearchEntry*, gpointer data);
  static void searchActivated(GtkEntry*, gpointer data);
  static void rowActivated(GtkListBox*, GtkListBoxRow* row, gpointer data);
  static gboolean listKey(GtkWidget* list, GdkEventKey* event, gpointer data);
  static gboolean listFocus(GtkWidget* list, GtkDirectionType, gpointer data);

  std::optional<ProjectChoice> chosen_;
  Picked picked_;
  std::optional<std::vector<ProjectChoice>> offered_;
  std::optional<ProjectSource> source_;
  std::vector<ProjectRow> rows_;
  GtkWidget* box_ = nullptr;
  GtkWidget* search_ = nullptr;
  GtkWidget* list_ = nullptr;
  GtkWidget* note_ = nullptr;
  bool leavingList_ = false;
};

}  // namespace vx::desktop
