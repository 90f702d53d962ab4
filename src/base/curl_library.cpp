#include "base/curl_library.hpp"

#include <dlfcn.h>

#include <string>
#include <variant>

namespace vx::base::curl {
namespace {

// libcurl's soname: its ABI has stayed compatible under it.
constexpr const char* kSoname = "libcurl.so.4";

template <class Function>
void bind(void* library, const char* name, Function& function) {
  void* symbol = dlsym(library, name);
  if (symbol == nullptr) throw Unavailable(std::string(kSoname) + " has no " + name);
  function = reinterpret_cast<Function>(symbol);
}

Functions open() {
  // Never closed: handles, and the callbacks libcurl runs at exit, live as long as the process.
  void* library = dlopen(kSoname, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (library == nullptr) {
    const char* why = dlerror();
    throw Unavailable(std::string("cannot open ") + kSoname + ": " + (why ? why : "unknown"));
  }
  Functions f{};
  bind(library, "curl_global_init", f.global_init);
  bind(library, "curl_easy_init", f.easy_init);
  bind(library, "curl_easy_setopt", f.easy_setopt);
  bind(library, "curl_easy_getinfo", f.easy_getinfo);
  bind(library, "curl_easy_strerror", f.easy_strerror);
  bind(library, "curl_easy_cleanup", f.easy_cleanup);
  bind(library, "curl_multi_init", f.multi_init);
  bind(library, "curl_multi_setopt", f.multi_setopt);
  bind(library, "curl_multi_add_handle", f.multi_add_handle);
  bind(library, "curl_multi_remove_handle", f.multi_remove_handle);
  bind(library, "curl_multi_perform", f.multi_perform);
  bind(library, "curl_multi_poll", f.multi_poll);
  bind(library, "curl_multi_wakeup", f.multi_wakeup);
  bind(library, "curl_multi_info_read", f.multi_info_read);
  bind(library, "curl_multi_cleanup", f.multi_cleanup);
  bind(library, "curl_slist_append", f.slist_append);
  bind(library, "curl_slist_free_all", f.slist_free_all);
  bind(library, "curl_url", f.url);
  bind(library, "curl_url_dup", f.url_dup);
  bind(library, "curl_url_set", f.url_set);
  bind(library, "curl_url_get", f.url_get);
  bind(library, "curl_url_cleanup", f.url_cleanup);
  bind(library, "curl_free", f.free);
  return f;
}

}  // namespace

const Functions& functions() {
  // Opened once; a failure is kept and reported again to every later caller.
  static const std::variant<Functions, std::string> loaded =
      []() -> std::variant<Functions, std::string> {
    try {
      return open();
    } catch (const Unavailable& error) {
      return std::string(error.what());
    }
  }();
  if (const auto* why = std::get_if<std::string>(&loaded)) throw Unavailable(*why);
  return std::get<Functions>(loaded);
}

}  // namespace vx::base::curl
