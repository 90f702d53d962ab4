#include "desktop/extension_ask.hpp"

#include <memory>

#include <gio/gio.h>

namespace vx::desktop {
namespace {

struct Asking {
  ExtensionAnswered answered;
};

void finished(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<Asking> asking(static_cast<Asking*>(data));
  auto* process = G_SUBPROCESS(source);
  g_autofree gchar* output = nullptr;
  std::optional<nlohmann::json> answer;
  if (g_subprocess_communicate_utf8_finish(process, result, &output, nullptr, nullptr) &&
      g_subprocess_get_if_exited(process) && g_subprocess_get_exit_status(process) == 0 &&
      output != nullptr) {
    nlohmann::json parsed = nlohmann::json::parse(output, nullptr, false);
    if (!parsed.is_discarded()) answer = std::move(parsed);
  }
  g_object_unref(process);
  asking->answered(std::move(answer));
}

}  // namespace

void askExtension(const std::string& extension, const std::vector<std::string>& arguments,
                  ExtensionAnswered answered) {
  std::vector<const gchar*> argv{extension.c_str()};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  argv.push_back(nullptr);
  GSubprocess* process =
      g_subprocess_newv(argv.data(),
                        static_cast<GSubprocessFlags>(G_SUBPROCESS_FLAGS_STDOUT_PIPE |
                                                      G_SUBPROCESS_FLAGS_STDERR_SILENCE),
                        nullptr);
  if (process == nullptr) {
    answered(std::nullopt);
    return;
  }
  g_subprocess_communicate_utf8_async(process, nullptr, nullptr, finished,
                                      new Asking{std::move(answered)});
}

}  // namespace vx::desktop
