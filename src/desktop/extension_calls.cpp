#include "desktop/extension_calls.hpp"

#include <utility>

namespace vx::desktop {

struct ExtensionCalls::Call {
  ExtensionCalls* owner = nullptr;  // none once the owner is gone
  GSubprocess* process = nullptr;
  // Ends the wait for output too: what the child started may hold its pipe open after it.
  GCancellable* cancellable = nullptr;
  guint timer = 0;
  Done done;
};

ExtensionCalls::ExtensionCalls(std::string program) : program_(std::move(program)) {}

ExtensionCalls::~ExtensionCalls() {
  // The children end now; their completions still arrive, and only free what they carry.
  for (Call* call : running_) {
    call->owner = nullptr;
    if (call->timer != 0) g_source_remove(call->timer);
    call->timer = 0;
    g_subprocess_force_exit(call->process);
    g_cancellable_cancel(call->cancellable);
  }
}

void ExtensionCalls::call(const std::vector<std::string>& arguments, std::chrono::seconds patience,
                          Done done) {
  std::vector<const gchar*> argv{program_.c_str()};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  argv.push_back(nullptr);
  GError* error = nullptr;
  GSubprocess* process =
      g_subprocess_newv(argv.data(),
                        static_cast<GSubprocessFlags>(G_SUBPROCESS_FLAGS_STDOUT_PIPE |
                                                      G_SUBPROCESS_FLAGS_STDERR_SILENCE),
                        &error);
  if (process == nullptr) {
    g_clear_error(&error);
    done({});
    return;
  }
  auto* call = new Call{this, process, g_cancellable_new(), 0, std::move(done)};
  running_.insert(call);
  call->timer = g_timeout_add_seconds(static_cast<guint>(patience.count()), overdue, call);
  g_subprocess_communicate_async(process, nullptr, call->cancellable, finished, call);
}

gboolean ExtensionCalls::overdue(gpointer data) {
  auto* call = static_cast<Call*>(data);
  call->timer = 0;
  g_subprocess_force_exit(call->process);
  g_cancellable_cancel(call->cancellable);
  return G_SOURCE_REMOVE;
}

void ExtensionCalls::finished(GObject* source, GAsyncResult* asyncResult, gpointer data) {
  auto* call = static_cast<Call*>(data);
  GBytes* output = nullptr;
  GError* error = nullptr;
  const bool read =
      g_subprocess_communicate_finish(G_SUBPROCESS(source), asyncResult, &output, nullptr, &error);
  Result result;
  if (read && g_subprocess_get_if_exited(call->process) &&
      g_subprocess_get_exit_status(call->process) == 0) {
    result.succeeded = true;
    gsize size = 0;
    const auto* bytes =
        static_cast<const char*>(output ? g_bytes_get_data(output, &size) : nullptr);
    if (bytes != nullptr) result.output.assign(bytes, size);
  }
  if (output != nullptr) g_bytes_unref(output);
  g_clear_error(&error);
  if (call->owner != nullptr) {
    call->owner->running_.erase(call);
    if (call->timer != 0) g_source_remove(call->timer);
    call->done(result);
  }
  g_object_unref(call->process);
  g_object_unref(call->cancellable);
  delete call;
}

}  // namespace vx::desktop
