#include "demo/push_tokens.hpp"

#include <algorithm>
#include <cctype>

#include <nlohmann/json.hpp>

namespace vx::demo {
namespace {

std::optional<std::string> textMember(const nlohmann::json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end() || !found->is_string()) return std::nullopt;
  return found->get<std::string>();
}

bool isHex(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(),
                                      [](unsigned char c) { return std::isxdigit(c) != 0; });
}

}  // namespace

std::optional<PushToken> PushTokens::parseReport(const std::string& body) {
  const auto document = nlohmann::json::parse(body, nullptr, false);
  if (!document.is_object()) return std::nullopt;
  auto token = textMember(document, "token");
  auto platform = textMember(document, "platform");
  auto environment = textMember(document, "environment");
  auto appId = textMember(document, "app_id");
  if (!token || !platform || !environment || !appId || !isHex(*token)) return std::nullopt;
  return PushToken{*token, *platform, *environment, *appId};
}

void PushTokens::record(PushToken token) {
  std::lock_guard lock(mutex_);
  std::erase_if(tokens_, [&](const PushToken& t) { return t.token == token.token; });
  tokens_.push_back(std::move(token));
}

bool PushTokens::withdraw(const std::string& token) {
  std::lock_guard lock(mutex_);
  return std::erase_if(tokens_, [&](const PushToken& t) { return t.token == token; }) > 0;
}

std::vector<PushToken> PushTokens::tokens() const {
  std::lock_guard lock(mutex_);
  return tokens_;
}

nlohmann::json PushTokens::listing() const {
  nlohmann::json list = nlohmann::json::array();
  for (const PushToken& t : tokens()) {
    list.push_back({{"token", t.token},
                    {"platform", t.platform},
                    {"environment", t.environment},
                    {"app_id", t.appId}});
  }
  return {{"tokens", std::move(list)}};
}

}  // namespace vx::demo
