#pragma once

#include <map>
#include <string>

#include <gio/gio.h>

namespace vx::desktop {

// Starts widgets' editors as children of the host: this program's `edit ID`, one per widget.
// Asking again for a widget whose editor runs brings that editor to the front; an editor whose
// widget is removed is closed. Ended editors are reaped from the GLib main loop.
class EditorLauncher {
 public:
  explicit EditorLauncher(std::string extension) : extension_(std::move(extension)) {}
  ~EditorLauncher();
  EditorLauncher(const EditorLauncher&) = delete;
  EditorLauncher& operator=(const EditorLauncher&) = delete;

  void edit(const std::string& id);
  void close(const std::string& id);

 private:
  static void ended(GObject* source, GAsyncResult* result, gpointer data);

  std::string extension_;
  std::map<std::string, GSubprocess*> running_;
  // Told apart from a launcher that is gone when a child ends after it.
  GCancellable* cancellable_ = g_cancellable_new();
};

}  // namespace vx::desktop
