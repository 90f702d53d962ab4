#pragma once

// The widgets' push tokens the service has been told about, as reported and withdrawn.

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace vx::demo {

struct PushToken {
  std::string token;
  std::string platform;
  std::string environment;
  std::string appId;
};

class PushTokens {
 public:
  // Reads a report body; nothing when it is not an object with the four text members or the
  // token is not hexadecimal.
  [[nodiscard]] static std::optional<PushToken> parseReport(const std::string& body);

  // Records a report, replacing an earlier one of the same token.
  void record(PushToken token);
  // Forgets a token; false when it was not known.
  bool withdraw(const std::string& token);

  [[nodiscard]] std::vector<PushToken> tokens() const;
  [[nodiscard]] nlohmann::json listing() const;

 private:
  mutable std::mutex mutex_;
  std::vector<PushToken> tokens_;
};

}  // namespace vx::demo
