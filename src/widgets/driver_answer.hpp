#pragma once

// What the driver's front ends and the kinds' requests share without nlohmann's full header: the
// type of an answer and a configuration as the host hands it over. Sources that build or read
// answers include widgets/driver_json.hpp.

#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

namespace vx::widgets::driver {

// Answers keep their members in the order written, so people reading them find the date first.
using Answer = nlohmann::ordered_json;

// A configuration as the host hands it over, read but not yet resolved: the parameters given.
struct ConfigurationInput {
  struct Project {
    std::string id;
    std::optional<std::string> name;  // nothing for a bare slug
  };
  std::optional<Project> project;
  std::optional<std::string> period;
  std::optional<bool> showDetails;
};

}  // namespace vx::widgets::driver
