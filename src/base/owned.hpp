#pragma once

#include <memory>

namespace vx::base {

// Calls a C library's release function (free, unref, cleanup, destroy) on a handle.
template <auto release>
struct Release {
  template <class T>
  void operator()(T* handle) const noexcept {
    (void)release(handle);
  }
};

// A C library's handle owned by the code that made it: released on every path out of that
// code, and moved, never copied. For example `Owned<CURLM, curl_multi_cleanup>`.
template <class T, auto release>
using Owned = std::unique_ptr<T, Release<release>>;

}  // namespace vx::base
