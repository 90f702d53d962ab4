#pragma once

// Site icons: a small PNG per project, drawn on first request (a coloured rounded square with
// a simple white mark) and kept for the life of the service.

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "demo/catalogue.hpp"

namespace vx::demo {

// Draws the icon of a site: `size` pixels square, PNG bytes. Nothing when drawing fails.
[[nodiscard]] std::optional<std::string> drawIcon(const std::string& host, int size = 64);

class Favicons {
 public:
  explicit Favicons(const std::vector<Profile>& projects);

  // The PNG of the site at `host`; nothing for a host without an icon or not in the account.
  [[nodiscard]] std::optional<std::string> icon(const std::string& host);

 private:
  std::map<std::string, bool> hosts_;  // host → whether it has an icon
  std::mutex mutex_;
  std::map<std::string, std::string> drawn_;
};

}  // namespace vx::demo
