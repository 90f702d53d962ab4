#pragma once

// libcurl, opened the first time a program calls into it rather than when the program starts.
// libcurl brings some thirty libraries of its own (TLS, Kerberos, LDAP, SSH, IDN); a process
// that only draws widgets never uses them, and loading and binding them at start cost it a
// good part of its start-up. Each function below takes the arguments of libcurl's function of
// the same name with "curl_" in front, and calls it.

#include <curl/curl.h>

#include <stdexcept>

namespace vx::base::curl {

// libcurl cannot be opened (it is not installed) or lacks a function that is called.
class Unavailable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The functions of libcurl this program calls.
struct Functions {
  decltype(&::curl_global_init) global_init;
  decltype(&::curl_easy_init) easy_init;
  decltype(&::curl_easy_setopt) easy_setopt;
  decltype(&::curl_easy_getinfo) easy_getinfo;
  decltype(&::curl_easy_strerror) easy_strerror;
  decltype(&::curl_easy_cleanup) easy_cleanup;
  decltype(&::curl_multi_init) multi_init;
  decltype(&::curl_multi_setopt) multi_setopt;
  decltype(&::curl_multi_add_handle) multi_add_handle;
  decltype(&::curl_multi_remove_handle) multi_remove_handle;
  decltype(&::curl_multi_perform) multi_perform;
  decltype(&::curl_multi_poll) multi_poll;
  decltype(&::curl_multi_wakeup) multi_wakeup;
  decltype(&::curl_multi_info_read) multi_info_read;
  decltype(&::curl_multi_cleanup) multi_cleanup;
  decltype(&::curl_slist_append) slist_append;
  decltype(&::curl_slist_free_all) slist_free_all;
  decltype(&::curl_url) url;
  decltype(&::curl_url_dup) url_dup;
  decltype(&::curl_url_set) url_set;
  decltype(&::curl_url_get) url_get;
  decltype(&::curl_url_cleanup) url_cleanup;
  decltype(&::curl_free) free;
};

// The library's functions, opened once per process on first use, from any thread. Throws
// Unavailable when it cannot be opened whole, then again at every later call.
[[nodiscard]] const Functions& functions();

inline CURLcode global_init(long flags) {
  return functions().global_init(flags);
}
inline CURL* easy_init() {
  return functions().easy_init();
}
template <class Value>
CURLcode easy_setopt(CURL* easy, CURLoption option, Value value) {
  return functions().easy_setopt(easy, option, value);
}
template <class Out>
CURLcode easy_getinfo(CURL* easy, CURLINFO info, Out out) {
  return functions().easy_getinfo(easy, info, out);
}
inline const char* easy_strerror(CURLcode code) {
  return functions().easy_strerror(code);
}
inline void easy_cleanup(CURL* easy) {
  functions().easy_cleanup(easy);
}
inline CURLM* multi_init() {
  return functions().multi_init();
}
template <class Value>
CURLMcode multi_setopt(CURLM* multi, CURLMoption option, Value value) {
  return functions().multi_setopt(multi, option, value);
}
inline CURLMcode multi_add_handle(CURLM* multi, CURL* easy) {
  return functions().multi_add_handle(multi, easy);
}
inline CURLMcode multi_remove_handle(CURLM* multi, CURL* easy) {
  return functions().multi_remove_handle(multi, easy);
}
inline CURLMcode multi_perform(CURLM* multi, int* running) {
  return functions().multi_perform(multi, running);
}
inline CURLMcode multi_poll(CURLM* multi, curl_waitfd* extra, unsigned int count, int timeoutMs,
                            int* ready) {
  return functions().multi_poll(multi, extra, count, timeoutMs, ready);
}
inline CURLMcode multi_wakeup(CURLM* multi) {
  return functions().multi_wakeup(multi);
}
inline CURLMsg* multi_info_read(CURLM* multi, int* left) {
  return functions().multi_info_read(multi, left);
}
inline CURLMcode multi_cleanup(CURLM* multi) {
  return functions().multi_cleanup(multi);
}
inline curl_slist* slist_append(curl_slist* list, const char* text) {
  return functions().slist_append(list, text);
}
inline void slist_free_all(curl_slist* list) {
  functions().slist_free_all(list);
}
inline CURLU* url() {
  return functions().url();
}
inline CURLU* url_dup(CURLU* url) {
  return functions().url_dup(url);
}
inline CURLUcode url_set(CURLU* url, CURLUPart part, const char* text, unsigned int flags) {
  return functions().url_set(url, part, text, flags);
}
inline CURLUcode url_get(CURLU* url, CURLUPart part, char** text, unsigned int flags) {
  return functions().url_get(url, part, text, flags);
}
inline void url_cleanup(CURLU* url) {
  functions().url_cleanup(url);
}
inline void free(void* text) {
  functions().free(text);
}

}  // namespace vx::base::curl
