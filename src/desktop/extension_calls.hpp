#pragma once

#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gio/gio.h>

namespace vx::desktop {

// The extension's one-shot commands run from the GLib main loop without ever blocking it: each
// call starts the program as a child (its standard error discarded) and, once it has ended,
// hands its standard output to `done` on the main loop. A call still running after its patience
// is killed. Destroying the object kills the calls still running; their `done` never comes.
class ExtensionCalls {
 public:
  struct Result {
    bool succeeded = false;  // started, and ended with status 0
    std::string output;
  };
  using Done = std::function<void(const Result&)>;

  explicit ExtensionCalls(std::string program);
  ~ExtensionCalls();
  ExtensionCalls(const ExtensionCalls&) = delete;
  ExtensionCalls& operator=(const ExtensionCalls&) = delete;

  void call(const std::vector<std::string>& arguments, std::chrono::seconds patience, Done done);

 private:
  struct Call;
  static void finished(GObject* source, GAsyncResult* result, gpointer data);
  static gboolean overdue(gpointer data);

  std::string program_;
  std::set<Call*> running_;
};

}  // namespace vx::desktop
