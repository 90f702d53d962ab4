#include "desktop/editor_window.hpp"

#include <chrono>
#include <csignal>
#include <iostream>
#include <map>
#include <memory>

#include <glib-unix.h>
#include <gtk/gtk.h>

#include "desktop/desktop_appearance.hpp"
#include "desktop/extension_calls.hpp"
#include "desktop/project_picker.hpp"
#include "desktop/widget_edits.hpp"
#include "model/clock.hpp"

namespace vx::desktop {
namespace {

constexpr int kTryAgain = 1;

void name(GtkWidget* widget, const std::string& text) {
  atk_object_set_name(gtk_widget_get_accessible(widget), text.c_str());
}

// The widget's own texts: its "Show details" switch shows what it shows beside it.
std::string titleOf(const KindParameter& parameter) {
  return parameter.name == "showDetails" ? "Show details" : parameter.title;
}

GtkWidget* fieldLabel(const std::string& text) {
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  gtk_widget_set_valign(label, GTK_ALIGN_START);
  return label;
}

// Follows the desktop's light or dark preference, as the widgets do.
void applyScheme(const std::string& scheme) {
  GtkSettings* settings = gtk_settings_get_default();
  gboolean dark = FALSE;
  g_object_get(settings, "gtk-application-prefer-dark-theme", &dark, nullptr);
  const gboolean wanted = scheme == "dark" ? TRUE : FALSE;
  if (dark != wanted) g_object_set(settings, "gtk-application-prefer-dark-theme", wanted, nullptr);
}

// The cached projects come at once; a timeline may wait for the service (which gives up after 15 s
// without progress on a request).
constexpr auto kListingPatience = std::chrono::seconds(10);
constexpr auto kRefreshPatience = std::chrono::seconds(60);

// A call's standard output read as JSON; null when it failed or printed something else.
nlohmann::json answerOf(const ExtensionCalls::Result& result) {
  if (!result.succeeded) return nullptr;
  nlohmann::json answer = nlohmann::json::parse(result.output, nullptr, false);
  return answer.is_discarded() ? nlohmann::json() : answer;
}

class Editor {
 public:
  explicit Editor(const EditorSetup& setup);
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  [[nodiscard]] GtkWidget* window() const { return window_; }

 private:
  void addField(GtkGrid* grid, int row, const KindParameter& parameter);
  [[nodiscard]] GtkWidget* periodField(const KindParameter& parameter);
  [[nodiscard]] GtkWidget* flagField(const KindParameter& parameter);
  [[nodiscard]] GtkWidget* projectField();
  void askForProjects();
  void change(const KindParameter& parameter, std::string value);
  void save();
  [[nodiscard]] nlohmann::json current(const KindParameter& parameter) const;
  static void periodChanged(GtkComboBox* combo, gpointer data);
  static gboolean flagSet(GtkSwitch*, gboolean state, gpointer data);
  static void responded(GtkInfoBar*, gint response, gpointer data);
  static gboolean keyPressed(GtkWidget* window, GdkEventKey* event, gpointer);

  EditorSetup setup_;
  std::map<std::string, std::string> choices_;  // the changes made here, by option name
  std::unique_ptr<ProjectPicker> picker_;
  ExtensionCalls calls_{setup_.extension};
  // Answers that come in once the window is gone find nothing to fill.
  std::shared_ptr<bool> open_ = std::make_shared<bool>(true);
  GtkWidget* window_ = nullptr;
  GtkWidget* problem_ = nullptr;
  GtkWidget* problemText_ = nullptr;
};

constexpr const char* kParameterKey = "vx-parameter";

Editor::Editor(const EditorSetup& setup) : setup_(setup) {
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window_), "Edit Widget");
  gtk_window_set_role(GTK_WINDOW(window_), ("editor-" + setup_.placement.id).c_str());
  gtk_window_set_default_size(GTK_WINDOW(window_), 420, -1);
  g_signal_connect(window_, "key-press-event", G_CALLBACK(keyPressed), nullptr);
  g_signal_connect_swapped(window_, "destroy",
                           G_CALLBACK(+[](gpointer open) { *static_cast<bool*>(open) = false; }),
                           open_.get());

  GtkWidget* page = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  problem_ = gtk_info_bar_new_with_buttons("Try again", kTryAgain, nullptr);
  gtk_info_bar_set_message_type(GTK_INFO_BAR(problem_), GTK_MESSAGE_ERROR);
  problemText_ = gtk_label_new("");
  gtk_label_set_line_wrap(GTK_LABEL(problemText_), TRUE);
  gtk_label_set_xalign(GTK_LABEL(problemText_), 0);
  gtk_container_add(GTK_CONTAINER(gtk_info_bar_get_content_area(GTK_INFO_BAR(problem_))),
                    problemText_);
  g_signal_connect(problem_, "response", G_CALLBACK(responded), this);
  gtk_widget_set_no_show_all(problem_, TRUE);
  gtk_box_pack_start(GTK_BOX(page), problem_, FALSE, FALSE, 0);

  GtkWidget* grid = gtk_grid_new();
  g_object_set(grid, "margin", 18, nullptr);
  gtk_grid_set_row_spacing(GTK_GRID(grid), 12);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 18);
  GtkWidget* heading = gtk_label_new(nullptr);
  g_autofree gchar* markup = g_markup_printf_escaped("<span size='large' weight='bold'>%s</span>",
                                                     setup_.kind.name.c_str());
  gtk_label_set_markup(GTK_LABEL(heading), markup);
  gtk_label_set_xalign(GTK_LABEL(heading), 0);
  gtk_grid_attach(GTK_GRID(grid), heading, 0, 0, 2, 1);
  int row = 1;
  for (const KindParameter& parameter : setup_.kind.parameters)
    addField(GTK_GRID(grid), row++, parameter);
  gtk_box_pack_start(GTK_BOX(page), grid, TRUE, TRUE, 0);
  gtk_container_add(GTK_CONTAINER(window_), page);
  if (picker_) askForProjects();
}

nlohmann::json Editor::current(const KindParameter& parameter) const {
  const nlohmann::json& configuration = setup_.placement.configuration;
  const auto found =
      configuration.is_object() ? configuration.find(parameter.name) : configuration.end();
  return found != configuration.end() ? *found : parameter.defaultValue;
}

void Editor::addField(GtkGrid* grid, int row, const KindParameter& parameter) {
  GtkWidget* field = nullptr;
  if (parameter.name == "project") {
    field = projectField();
  } else if (parameter.type == "flag") {
    field = flagField(parameter);
  } else if (!parameter.choices.empty()) {
    field = periodField(parameter);
  }
  if (field == nullptr) return;  // nothing the editor knows how to offer
  GtkWidget* label = fieldLabel(titleOf(parameter));
  gtk_widget_set_hexpand(field, TRUE);
  gtk_grid_attach(grid, label, 0, row, 1, 1);
  gtk_grid_attach(grid, field, 1, row, 1, 1);
}

GtkWidget* Editor::periodField(const KindParameter& parameter) {
  GtkWidget* combo = gtk_combo_box_text_new();
  name(combo, parameter.title);
  for (std::size_t i = 0; i < parameter.choices.size(); ++i) {
    gtk_combo_box_text_append(GTK_COMBO_BOX_TEXT(combo), parameter.choices[i].c_str(),
                              parameter.labels.at(i).c_str());
  }
  const nlohmann::json value = current(parameter);
  if (value.is_string())
    gtk_combo_box_set_active_id(GTK_COMBO_BOX(combo), value.get<std::string>().c_str());
  g_object_set_data(G_OBJECT(combo), kParameterKey, const_cast<KindParameter*>(&parameter));
  g_signal_connect(combo, "changed", G_CALLBACK(periodChanged), this);
  return combo;
}

GtkWidget* Editor::flagField(const KindParameter& parameter) {
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
  GtkWidget* toggle = gtk_switch_new();
  const nlohmann::json value = current(parameter);
  gtk_switch_set_active(GTK_SWITCH(toggle), !value.is_boolean() || value.get<bool>());
  g_object_set_data(G_OBJECT(toggle), kParameterKey, const_cast<KindParameter*>(&parameter));
  g_signal_connect(toggle, "state-set", G_CALLBACK(flagSet), this);
  GtkWidget* said = fieldLabel(parameter.title == titleOf(parameter) ? "" : parameter.title);
  gtk_style_context_add_class(gtk_widget_get_style_context(said), "dim-label");
  gtk_box_pack_start(GTK_BOX(box), said, TRUE, TRUE, 0);
  gtk_box_pack_end(GTK_BOX(box), toggle, FALSE, FALSE, 0);
  atk_object_set_description(gtk_widget_get_accessible(toggle), parameter.title.c_str());
  name(toggle, titleOf(parameter));
  return box;
}

GtkWidget* Editor::projectField() {
  const KindParameter* parameter = nullptr;
  for (const KindParameter& p : setup_.kind.parameters) {
    if (p.name == "project") parameter = &p;
  }
  picker_ = std::make_unique<ProjectPicker>(
      configuredProject(setup_.placement.configuration),
      [this, parameter](const ProjectChoice& project) { change(*parameter, project.id); });
  return picker_->widget();
}

// The projects to offer, and (from a timeline asked for at the same time) whether they are the
// account's current ones: the extension lists the cached snapshot's projects whenever it has one.
void Editor::askForProjects() {
  calls_.call({"projects"}, kListingPatience,
              [this, open = open_](const ExtensionCalls::Result& result) {
                if (*open) picker_->offer(projectChoicesFromJson(answerOf(result)));
              });
  const Time asked = clock::now();
  calls_.call({"timeline", "--kind", setup_.kind.kind}, kRefreshPatience,
              [this, asked, open = open_](const ExtensionCalls::Result& result) {
                if (*open) picker_->tellSource(projectSourceOf(answerOf(result), asked));
              });
}

void Editor::change(const KindParameter& parameter, std::string value) {
  choices_[optionName(parameter.name).substr(2)] = std::move(value);
  save();
}

// Saves every change made here, so that trying again after a failure loses none of them.
void Editor::save() {
  try {
    setup_.placement = configurePlacement(setup_.file, setup_.placement.id, setup_.kind, choices_);
    gtk_widget_hide(problem_);
  } catch (const std::exception& error) {
    const std::string text = std::string("Your change isn't saved: ") + error.what() + ".";
    gtk_label_set_text(GTK_LABEL(problemText_), text.c_str());
    gtk_widget_set_no_show_all(problem_, FALSE);
    gtk_widget_show_all(problem_);
  }
}

void Editor::periodChanged(GtkComboBox* combo, gpointer data) {
  const gchar* id = gtk_combo_box_get_active_id(combo);
  const auto* parameter =
      static_cast<const KindParameter*>(g_object_get_data(G_OBJECT(combo), kParameterKey));
  if (id != nullptr) static_cast<Editor*>(data)->change(*parameter, id);
}

gboolean Editor::flagSet(GtkSwitch* toggle, gboolean state, gpointer data) {
  const auto* parameter =
      static_cast<const KindParameter*>(g_object_get_data(G_OBJECT(toggle), kParameterKey));
  static_cast<Editor*>(data)->change(*parameter, state ? "true" : "false");
  return FALSE;  // the switch follows at once
}

void Editor::responded(GtkInfoBar*, gint response, gpointer data) {
  if (response == kTryAgain) static_cast<Editor*>(data)->save();
}

gboolean Editor::keyPressed(GtkWidget* window, GdkEventKey* event, gpointer) {
  if (event->keyval != GDK_KEY_Escape) return FALSE;
  gtk_window_close(GTK_WINDOW(window));
  return TRUE;
}

gboolean quit(gpointer) {
  gtk_main_quit();
  return G_SOURCE_CONTINUE;
}

// The editor's window once it is there: a second "Edit Widget…" for the same widget brings it to
// the front.
GtkWidget* shown = nullptr;

gboolean present(gpointer) {
  if (shown != nullptr) gtk_window_present(GTK_WINDOW(shown));
  return G_SOURCE_CONTINUE;
}

}  // namespace

int runEditor(const EditorSetup& setup) {
  const guint front = g_unix_signal_add(SIGUSR1, present, nullptr);
  if (!gtk_init_check(nullptr, nullptr)) {
    std::cerr << "vantorix-widget-host: no display to show the editor on\n";
    return 1;
  }
  DesktopAppearance appearance;
  applyScheme(appearance.scheme());
  appearance.follow(applyScheme);
  Editor editor(setup);
  g_signal_connect(editor.window(), "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  const guint term = g_unix_signal_add(SIGTERM, quit, nullptr);
  const guint interrupt = g_unix_signal_add(SIGINT, quit, nullptr);
  shown = editor.window();
  gtk_widget_show_all(editor.window());
  gtk_main();
  g_source_remove(term);
  g_source_remove(interrupt);
  g_source_remove(front);
  shown = nullptr;
  appearance.stopFollowing();
  return 0;
}

}  // namespace vx::desktop
