#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "demo/calendar.hpp"
#include "demo/inbox.hpp"

namespace vx::demo {
namespace {

using nlohmann::json;

// One conversation case. Times are minutes before now; absent ones are left out.
struct Case {
  std::optional<std::string> status = "open";
  std::optional<bool> aiActive;
  std::optional<int> unread;
  std::optional<std::string> name;
  std::optional<std::string> email;
  std::optional<int> createdAgo;
  std::optional<int> lastMessageAgo;
  std::optional<std::string> lastMessageAtText;  // overrides lastMessageAgo with a raw text
  StampForm form = StampForm::utc;
  bool hasMessage = true;
  std::optional<std::string> sender = "visitor";
  std::optional<std::string> content;
};

std::vector<Case> cases() {
  std::vector<Case> all;
  Case c;

  // Waiting: unread, a minute old; Markdown with a link.
  c = {};
  c.unread = 2;
  c.name = "Maya Lindqvist";
  c.email = "maya@lindqvist.se";
  c.createdAgo = 14;
  c.lastMessageAgo = 1;
  c.content = "**Hi** there 👋 is the [pricing page](https://example.com/pricing) still up to date?";
  all.push_back(c);

  // Not waiting yet: read, five minutes old; an empty name and an address.
  c = {};
  c.unread = 0;
  c.name = "";
  c.email = "jonas.berg@example.com";
  c.createdAgo = 9;
  c.lastMessageAgo = 5;
  c.content = "Thanks, that helped!";
  all.push_back(c);

  // Waiting: read but two hours old; neither name nor address; HTML with entities.
  c = {};
  c.unread = 0;
  c.createdAgo = 180;
  c.lastMessageAgo = 120;
  c.sender = std::nullopt;
  c.content = "<p>Hello,<br>my order <b>#1042</b> hasn&#39;t arrived &amp; I&#39;m worried</p>";
  all.push_back(c);

  // Not waiting: the status is written with a capital.
  c = {};
  c.status = "Open";
  c.unread = 3;
  c.name = "Priya Raman";
  c.createdAgo = 200;
  c.lastMessageAgo = 180;
  c.content = "Do you ship to Canada?";
  all.push_back(c);

  // Not waiting: closed.
  c = {};
  c.status = "closed";
  c.unread = 1;
  c.name = "Tomás Ortega";
  c.createdAgo = 3000;
  c.lastMessageAgo = 2900;
  c.content = "Got it, thanks.";
  all.push_back(c);

  // Not waiting: automated answering is on.
  c = {};
  c.aiActive = true;
  c.unread = 2;
  c.name = "Lea Novak";
  c.createdAgo = 50;
  c.lastMessageAgo = 40;
  c.content = "Can I change my delivery address?";
  all.push_back(c);

  // Not waiting: an agent wrote last.
  c = {};
  c.unread = 1;
  c.name = "Carlos Mendes";
  c.sender = "agent";
  c.createdAgo = 240;
  c.lastMessageAgo = 180;
  c.content = "We've sent you a new tracking link.";
  all.push_back(c);

  // Waiting: no time of the last message, started two hours ago; a structured answer.
  c = {};
  c.unread = 0;
  c.name = "Aiko Tanaka";
  c.createdAgo = 120;
  c.content = R"({"response":"**Thanks!** Could you send us a screenshot?"})";
  all.push_back(c);

  // Not waiting: no times at all and nothing unread (its time counts as now).
  c = {};
  c.unread = 0;
  c.name = "Sam Rivera";
  c.content = "Hello?";
  all.push_back(c);

  // Waiting: unread; an address only; a structured choice; no sender.
  c = {};
  c.unread = 1;
  c.email = "noor@example.org";
  c.sender = std::nullopt;
  c.createdAgo = 12;
  c.lastMessageAgo = 10;
  c.content = R"({"options":["Yes","No"]})";
  all.push_back(c);

  // Waiting: unread; structured content without a text member; fractional seconds.
  c = {};
  c.unread = 1;
  c.name = "Ben Okafor";
  c.createdAgo = 25;
  c.lastMessageAgo = 20;
  c.form = StampForm::utcFraction;
  c.content = R"({"type":"rating","score":5})";
  all.push_back(c);

  // Not waiting: no status.
  c = {};
  c.status = std::nullopt;
  c.unread = 4;
  c.name = "Ines Duarte";
  c.createdAgo = 400;
  c.lastMessageAgo = 300;
  c.content = "Is anyone there?";
  all.push_back(c);

  // Waiting: read, 45 minutes old, fractional seconds; a heading and an entity.
  c = {};
  c.unread = 0;
  c.name = "Zoe Martin";
  c.createdAgo = 60;
  c.lastMessageAgo = 45;
  c.form = StampForm::utcFraction;
  c.content = "# Refund request\n\nThe parcel arrived damaged 😞 &amp; I'd like a refund.";
  all.push_back(c);

  // Not waiting: the last message time cannot be read (it counts as now, not as the start).
  c = {};
  c.unread = 0;
  c.name = "Kofi Mensah";
  c.createdAgo = 180;
  c.lastMessageAtText = "yesterday afternoon";
  c.content = "Any news on my order?";
  all.push_back(c);

  // Waiting: unread, no message at all.
  c = {};
  c.unread = 1;
  c.name = "Ola Nordmann";
  c.createdAgo = 4;
  c.lastMessageAgo = 3;
  c.hasMessage = false;
  all.push_back(c);

  // Waiting: read, 31 minutes old, automated answering explicitly off, a time with an offset;
  // escaped entities that must be decoded once only.
  c = {};
  c.aiActive = false;
  c.unread = 0;
  c.name = "Émile Dubois";
  c.createdAgo = 90;
  c.lastMessageAgo = 31;
  c.form = StampForm::offsetHours1;
  c.content = "&lt;b&gt;not bold&lt;/b&gt; &quot;quoted&quot; &amp;lt; stays&nbsp;escaped";
  all.push_back(c);

  // Not waiting yet: read, 29 minutes old.
  c = {};
  c.unread = 0;
  c.name = "Hannah Schulz";
  c.createdAgo = 35;
  c.lastMessageAgo = 29;
  c.content = "Perfect, I'll wait for the parcel 🙏";
  all.push_back(c);

  // Waiting: unread; inline code, strike-through and an image.
  c = {};
  c.aiActive = false;
  c.unread = 2;
  c.name = "Marco Rossi";
  c.createdAgo = 400;
  c.lastMessageAgo = 360;
  c.content = "Is `SUMMER24` still valid? ~~It said 10%~~ ![screenshot](https://example.com/s.png)";
  all.push_back(c);

  return all;
}

json conversationJson(const Case& c, const std::string& uuid, Time now) {
  const auto ago = [&](int minutes) {
    return stampText(now - std::chrono::minutes(minutes), c.form);
  };
  json out = {{"uuid", uuid}};
  if (c.status) out["status"] = *c.status;
  if (c.aiActive) out["ai_active"] = *c.aiActive;
  if (c.unread) out["unread_count"] = *c.unread;
  out["visitor_name"] = c.name ? json(*c.name) : json(nullptr);
  out["visitor_email"] = c.email ? json(*c.email) : json(nullptr);
  if (c.createdAgo) out["created_at"] = ago(*c.createdAgo);
  if (c.lastMessageAtText) {
    out["last_message_at"] = *c.lastMessageAtText;
  } else if (c.lastMessageAgo) {
    out["last_message_at"] = ago(*c.lastMessageAgo);
  }
  if (c.hasMessage) {
    json message = json::object();
    if (c.sender) message["sender_type"] = *c.sender;
    if (c.content) message["content"] = *c.content;
    out["last_message"] = std::move(message);
  } else {
    out["last_message"] = nullptr;
  }
  return out;
}

// The first project shows every case; the others a rotating quarter; a project without
// traffic has nobody writing.
bool holds(const Profile& profile, std::size_t index, std::size_t item) {
  if (profile.dailyVisitors <= 0) return false;
  return index == 0 || (item + index) % 4 == 0;
}

}  // namespace

json inboxAnswer(const Profile& profile, std::size_t index, Time now, Page page) {
  static const std::vector<Case> all = cases();
  now -= projectLag(index);
  json list = json::array();
  std::size_t seen = 0;
  for (std::size_t item = 0; item < all.size() && list.size() < page.limit; ++item) {
    if (!holds(profile, index, item)) continue;
    if (seen++ < page.offset) continue;
    list.push_back(
        conversationJson(all[item], itemUuid(0xc0000000u, "6c1d-4e5a-9b2f", index, item), now));
  }
  return {{"conversations", std::move(list)}};
}

std::chrono::minutes projectLag(std::size_t index) {
  if (index == 0) return std::chrono::minutes(0);
  return std::chrono::minutes(5 + (index * 37) % 180);
}

std::string itemUuid(unsigned kind, const char* middle, std::size_t project, std::size_t item) {
  std::array<char, 48> text{};
  std::snprintf(text.data(), text.size(), "%08x-%s-%012zx",
                static_cast<unsigned>(kind + project * 0x100u + item), middle,
                project * 0x100 + item);
  return text.data();
}

}  // namespace vx::demo
