#include "desktop/editor_launcher.hpp"

#include <csignal>
#include <iostream>

namespace vx::desktop {

EditorLauncher::~EditorLauncher() {
  // The editors stay open; the host no longer waits for them.
  g_cancellable_cancel(cancellable_);
  for (auto& [id, child] : running_) g_object_unref(child);
  g_object_unref(cancellable_);
}

void EditorLauncher::edit(const std::string& id) {
  if (const auto found = running_.find(id); found != running_.end()) {
    g_subprocess_send_signal(found->second, SIGUSR1);
    return;
  }
  // This very program, even when a newer build has replaced its file since it started.
  const gchar* argv[] = {"/proc/self/exe",   "edit", id.c_str(), "--extension",
                         extension_.c_str(), nullptr};
  g_autoptr(GError) error = nullptr;
  GSubprocess* child = g_subprocess_newv(argv, G_SUBPROCESS_FLAGS_NONE, &error);
  if (child == nullptr) {
    std::cerr << "vantorix-widget-host: cannot open the editor: " << error->message << "\n";
    return;
  }
  running_[id] = child;
  g_subprocess_wait_async(child, cancellable_, ended, this);
}

void EditorLauncher::close(const std::string& id) {
  if (const auto found = running_.find(id); found != running_.end()) {
    g_subprocess_send_signal(found->second, SIGTERM);
  }
}

void EditorLauncher::ended(GObject* source, GAsyncResult* result, gpointer data) {
  if (!g_subprocess_wait_finish(G_SUBPROCESS(source), result, nullptr)) return;  // cancelled
  auto* self = static_cast<EditorLauncher*>(data);
  for (auto it = self->running_.begin(); it != self->running_.end(); ++it) {
    if (it->second == G_SUBPROCESS(source)) {
      g_object_unref(it->second);
      self->running_.erase(it);
      return;
    }
  }
}

}  // namespace vx::desktop
