#pragma once

// Everything the request handlers share: the account, the settings and the state the service
// keeps while it runs.

#include <vector>

#include "demo/catalogue.hpp"
#include "demo/faults.hpp"
#include "demo/favicons.hpp"
#include "demo/options.hpp"
#include "demo/push_tokens.hpp"
#include "demo/request_counts.hpp"

namespace vx::demo {

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
