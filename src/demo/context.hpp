#pragma once

// Everything the request handlers share: the account, the settings and the state the service
// keeps while it runs.

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "demo/catalogue.hpp"
#include "demo/faults.hpp"
#include "demo/favicons.hpp"
#include "demo/options.hpp"
#include "demo/push_tokens.hpp"

namespace vx::demo {

// Requests served, by method and path (without the query).
class RequestCounts {
 public:
  void count(const std::string& key) {
    std::lock_guard lock(mutex_);
    ++counts_[key];
  }
  [[nodiscard]] std::map<std::string, std::int64_t> counts() const {
    std::lock_guard lock(mutex_);
    return counts_;
  }

 private:
  mutable std::mutex mutex_;
  std::map<std::string, std::int64_t> counts_;
};

struct Context {
  explicit Context(ServiceOptions settings)
      : options(std::move(settings)),
        projects(catalogue(options.projects)),
        favicons(projects),
        faults(options.faults) {}

  const ServiceOptions options;
  const std::vector<Profile> projects;
  Favicons favicons;
  PushTokens pushTokens;
  Faults faults;
  RequestCounts requests;
  StopSignal stop;
};

}  // namespace vx::demo
