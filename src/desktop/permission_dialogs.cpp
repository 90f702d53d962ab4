#include "desktop/permission_dialogs.hpp"

#include <iostream>

#include <gtk/gtk.h>

namespace vx::desktop {

void PermissionDialogs::ask(const std::string& app) {
  if (open_.contains(app)) return;
  GtkWidget* dialog =
      gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE,
                             "\u201c%s\u201d would like to send you notifications", app.c_str());
  gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog),
                                           "Notifications may include alerts, sounds and badges.");
  gtk_dialog_add_button(GTK_DIALOG(dialog), "Don\u2019t Allow", GTK_RESPONSE_REJECT);
  gtk_dialog_add_button(GTK_DIALOG(dialog), "Allow", GTK_RESPONSE_ACCEPT);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
  auto* asked = new Asked{this, app};
  g_signal_connect_data(
      dialog, "response", G_CALLBACK(answered), asked,
      [](gpointer data, GClosure*) { delete static_cast<Asked*>(data); }, GConnectFlags{});
  open_.insert(app);
  gtk_window_present(GTK_WINDOW(dialog));
}

void PermissionDialogs::answered(void* dialog, int response, void* data) {
  auto* asked = static_cast<Asked*>(data);
  asked->dialogs->open_.erase(asked->app);
  if (response == GTK_RESPONSE_ACCEPT || response == GTK_RESPONSE_REJECT) {
    try {
      asked->dialogs->permissions_.store(asked->app, response == GTK_RESPONSE_ACCEPT
                                                         ? Authorization::authorized
                                                         : Authorization::denied);
    } catch (const std::exception& error) {
      std::cerr << "vantorix-widget-host: " << error.what() << "\n";
    }
  }
  gtk_widget_destroy(GTK_WIDGET(dialog));
}

}  // namespace vx::desktop
