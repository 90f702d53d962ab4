#include "desktop/widget_menu.hpp"

namespace vx::desktop {
namespace {

constexpr const char* kMenuKey = "vx-widget-menu";

struct MenuState {
  std::string id;
  WidgetMenuActions actions;
};

void editChosen(GtkMenuItem*, gpointer data) {
  const auto* state = static_cast<const MenuState*>(data);
  if (state->actions.edit) state->actions.edit(state->id);
}

void removeChosen(GtkMenuItem*, gpointer data) {
  const auto* state = static_cast<const MenuState*>(data);
  if (state->actions.remove) state->actions.remove(state->id);
}

GtkWidget* item(GtkWidget* menu, const char* label, GCallback chosen, MenuState* state) {
  GtkWidget* entry = gtk_menu_item_new_with_label(label);
  g_signal_connect(entry, "activate", chosen, state);
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), entry);
  return entry;
}

GtkWidget* menuFor(GtkWidget* window, const std::string& id, const WidgetMenuActions& actions) {
  auto* menu = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(window), kMenuKey));
  if (menu != nullptr) return menu;
  menu = gtk_menu_new();
  auto* state = new MenuState{id, actions};
  g_object_set_data_full(G_OBJECT(menu), "vx-widget-menu-state", state,
                         [](gpointer data) { delete static_cast<MenuState*>(data); });
  item(menu, "Edit Widget…", G_CALLBACK(editChosen), state);
  item(menu, "Remove Widget", G_CALLBACK(removeChosen), state);
  gtk_widget_show_all(menu);
  // Attached, the menu is destroyed with the window.
  gtk_menu_attach_to_widget(GTK_MENU(menu), window, nullptr);
  g_object_set_data(G_OBJECT(window), kMenuKey, menu);
  return menu;
}

}  // namespace

void popUpWidgetMenu(GtkWidget* window, const std::string& id, const GdkEvent* trigger,
                     const WidgetMenuActions& actions) {
  GtkMenu* menu = GTK_MENU(menuFor(window, id, actions));
  if (trigger != nullptr) {
    gtk_menu_popup_at_pointer(menu, trigger);
    return;
  }
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
  if (focus != nullptr) {
    gtk_menu_popup_at_widget(menu, focus, GDK_GRAVITY_SOUTH_WEST, GDK_GRAVITY_NORTH_WEST, nullptr);
  } else {
    gtk_menu_popup_at_widget(menu, window, GDK_GRAVITY_NORTH_WEST, GDK_GRAVITY_NORTH_WEST, nullptr);
  }
  gtk_menu_shell_select_first(GTK_MENU_SHELL(menu), FALSE);
}

}  // namespace vx::desktop
