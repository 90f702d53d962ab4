#include "desktop/project_picker.hpp"

namespace vx::desktop {
namespace {

constexpr const char* kIndexKey = "vx-project-row";
constexpr const char* kCheckKey = "vx-project-check";
constexpr int kListHeight = 260;

std::size_t indexOf(GtkListBoxRow* row) {
  return static_cast<std::size_t>(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(row), kIndexKey)));
}

void name(GtkWidget* widget, const std::string& text, const char* description = nullptr) {
  AtkObject* accessible = gtk_widget_get_accessible(widget);
  atk_object_set_name(accessible, text.c_str());
  if (description != nullptr) atk_object_set_description(accessible, description);
}

void dim(GtkWidget* label) {
  gtk_style_context_add_class(gtk_widget_get_style_context(label), "dim-label");
}

}  // namespace

ProjectPicker::ProjectPicker(std::optional<ProjectChoice> configured, Picked picked)
    : chosen_(std::move(configured)), picked_(std::move(picked)) {
  box_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
  search_ = gtk_search_entry_new();
  gtk_entry_set_placeholder_text(GTK_ENTRY(search_), "Search projects");
  name(search_, "Search projects");
  g_signal_connect(search_, "search-changed", G_CALLBACK(searchChanged), this);
  g_signal_connect(search_, "activate", G_CALLBACK(searchActivated), this);

  list_ = gtk_list_box_new();
  gtk_list_box_set_selection_mode(GTK_LIST_BOX(list_), GTK_SELECTION_NONE);
  gtk_list_box_set_filter_func(GTK_LIST_BOX(list_), filter, this, nullptr);
  name(list_, "Projects");
  g_signal_connect(list_, "row-activated", G_CALLBACK(rowActivated), this);
  g_signal_connect(list_, "key-press-event", G_CALLBACK(listKey), this);
  g_signal_connect(list_, "focus", G_CALLBACK(listFocus), this);
  GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
                                 GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled), GTK_SHADOW_IN);
  gtk_scrolled_window_set_min_content_height(GTK_SCROLLED_WINDOW(scrolled), kListHeight);
  gtk_widget_set_vexpand(scrolled, TRUE);
  gtk_container_add(GTK_CONTAINER(scrolled), list_);

  note_ = gtk_label_new("Loading projects…");
  gtk_label_set_xalign(GTK_LABEL(note_), 0);
  gtk_label_set_line_wrap(GTK_LABEL(note_), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(note_), 40);
  dim(note_);

  gtk_box_pack_start(GTK_BOX(box_), search_, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box_), scrolled, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(box_), note_, FALSE, FALSE, 0);
}

void ProjectPicker::offer(const std::vector<ProjectChoice>& projects) {
  offered_ = projects;
  fill();
  updateNote();
}

void ProjectPicker::tellSource(ProjectSource source) {
  source_ = source;
  updateNote();
}

void ProjectPicker::fill() {
  gtk_container_foreach(
      GTK_CONTAINER(list_), [](GtkWidget* child, gpointer) { gtk_widget_destroy(child); }, nullptr);
  rows_ = projectRows(offered_.value_or(std::vector<ProjectChoice>{}), chosen_);
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    GtkWidget* row = rowFor(rows_[i]);
    g_object_set_data(G_OBJECT(row), kIndexKey, GINT_TO_POINTER(static_cast<int>(i)));
    gtk_container_add(GTK_CONTAINER(list_), row);
  }
  gtk_widget_show_all(list_);
  if (chosen_) mark(chosen_->id);
}

GtkWidget* ProjectPicker::rowFor(const ProjectRow& row) {
  GtkWidget* line = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
  g_object_set(line, "margin", 6, nullptr);
  GtkWidget* label = gtk_label_new(row.project.name.c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  gtk_box_pack_start(GTK_BOX(line), label, TRUE, TRUE, 0);
  if (row.gone) {
    GtkWidget* gone = gtk_label_new("No longer available");
    dim(gone);
    gtk_box_pack_start(GTK_BOX(line), gone, FALSE, FALSE, 0);
  }
  GtkWidget* check = gtk_image_new_from_icon_name("object-select-symbolic", GTK_ICON_SIZE_MENU);
  gtk_widget_set_no_show_all(check, TRUE);
  gtk_box_pack_end(GTK_BOX(line), check, FALSE, FALSE, 0);
  GtkWidget* item = gtk_list_box_row_new();
  gtk_container_add(GTK_CONTAINER(item), line);
  g_object_set_data(G_OBJECT(item), kCheckKey, check);
  name(item, row.project.name, row.gone ? "No longer available" : nullptr);
  return item;
}

// Shows the check on the row of `id` alone, and says which one it is to screen readers.
void ProjectPicker::mark(const std::string& id) {
  for (std::size_t i = 0; i < rows_.size(); ++i) rows_[i].chosen = rows_[i].project.id == id;
  GList* children = gtk_container_get_children(GTK_CONTAINER(list_));
  for (GList* child = children; child != nullptr; child = child->next) {
    const ProjectRow& row = rows_.at(indexOf(GTK_LIST_BOX_ROW(child->data)));
    auto* check = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(child->data), kCheckKey));
    gtk_widget_set_visible(check, row.chosen);
    const std::string what = row.chosen ? "Chosen" : "";
    const std::string gone = row.gone ? "No longer available" : "";
    const std::string said = what + (what.empty() || gone.empty() ? "" : ", ") + gone;
    atk_object_set_description(gtk_widget_get_accessible(GTK_WIDGET(child->data)), said.c_str());
  }
  g_list_free(children);
}

void ProjectPicker::updateNote() {
  std::optional<std::string> line;
  if (!offered_) {
    line = "Loading projects…";
  } else if (source_) {
    line = projectListNote(*source_, offered_->empty());
  }
  gtk_label_set_text(GTK_LABEL(note_), line.value_or("").c_str());
  gtk_widget_set_visible(note_, line.has_value());
}

gboolean ProjectPicker::filter(GtkListBoxRow* row, gpointer data) {
  const auto* self = static_cast<const ProjectPicker*>(data);
  const std::size_t index = indexOf(row);
  if (index >= self->rows_.size()) return TRUE;
  return matchesSearch(self->rows_[index].project.name,
                       gtk_entry_get_text(GTK_ENTRY(self->search_)));
}

void ProjectPicker::searchChanged(GtkSearchEntry*, gpointer data) {
  gtk_list_box_invalidate_filter(GTK_LIST_BOX(static_cast<ProjectPicker*>(data)->list_));
}

// Return in the search field picks the first project it leaves in the list.
void ProjectPicker::searchActivated(GtkEntry*, gpointer data) {
  auto* self = static_cast<ProjectPicker*>(data);
  GList* children = gtk_container_get_children(GTK_CONTAINER(self->list_));
  for (GList* child = children; child != nullptr; child = child->next) {
    auto* row = GTK_LIST_BOX_ROW(child->data);
    if (filter(row, self)) {
      rowActivated(GTK_LIST_BOX(self->list_), row, self);
      break;
    }
  }
  g_list_free(children);
}

void ProjectPicker::rowActivated(GtkListBox*, GtkListBoxRow* row, gpointer data) {
  auto* self = static_cast<ProjectPicker*>(data);
  const std::size_t index = indexOf(row);
  if (index >= self->rows_.size()) return;
  const ProjectChoice picked = self->rows_[index].project;
  self->chosen_ = picked;
  self->mark(picked.id);
  self->picked_(picked);
}

}  // namespace vx::desktop

namespace vx::desktop {

// Tab leaves the list at once instead of stepping through every project (the arrows move
// between them): the focus moves on as if the list took none.
gboolean ProjectPicker::listKey(GtkWidget* list, GdkEventKey* event, gpointer data) {
  const bool forward = event->keyval == GDK_KEY_Tab || event->keyval == GDK_KEY_KP_Tab;
  if ((!forward && event->keyval != GDK_KEY_ISO_Left_Tab) ||
      (event->state & GDK_CONTROL_MASK) != 0) {
    return FALSE;
  }
  auto* self = static_cast<ProjectPicker*>(data);
  const bool backward = event->keyval == GDK_KEY_ISO_Left_Tab || (event->state & GDK_SHIFT_MASK);
  self->leavingList_ = true;
  gtk_widget_child_focus(gtk_widget_get_toplevel(list),
                         backward ? GTK_DIR_TAB_BACKWARD : GTK_DIR_TAB_FORWARD);
  self->leavingList_ = false;
  return TRUE;
}

gboolean ProjectPicker::listFocus(GtkWidget* list, GtkDirectionType, gpointer data) {
  if (!static_cast<ProjectPicker*>(data)->leavingList_) return FALSE;
  g_signal_stop_emission_by_name(list, "focus");
  return FALSE;
}

}  // namespace vx::desktop
