#include <algorithm>
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

// One article case: what it waits for, its title and when it last changed (minutes before
// now). `code` absent leaves the member out; `nullCode` sends it as null.
struct Case {
  std::optional<std::string> code;
  bool nullCode = false;
  std::optional<std::string> title;
  std::optional<int> updatedAgo;
  std::optional<std::string> updatedText;  // a raw text instead of a time
  StampForm form = StampForm::utc;
};

Case article(std::optional<std::string> code, std::optional<std::string> title,
             std::optional<int> updatedAgo) {
  Case c;
  c.code = std::move(code);
  c.title = std::move(title);
  c.updatedAgo = updatedAgo;
  return c;
}

std::vector<Case> cases() {
  std::vector<Case> all = {
      article("fix_error", "Spring menu launch", 12),
      article("fix_delivery", "How we roast our beans", 50),
      article("answer_question", "Brewing guide: pour-over", 120),
      article("review_outline", "Outline: ten cafés in Lisbon", 180),
      article("provide_sources", "Is decaf healthier?", 300),
      article("add_images", "Behind the scenes at the roastery", 480),
      article("publish_now", "Holiday opening hours", 1200),
      article("final_review", "", 1560),                          // empty title
      article("translate_article", std::nullopt, 2880),           // unknown code, no title
      article("", "Our story", 4320),                             // empty code: nothing to do
      article(std::nullopt, "Shipping questions", 5760),          // no code: nothing to do
      article("publish_now", "Newsletter: March", std::nullopt),  // no change time
  };
  Case nullCode = article(std::nullopt, "Returns policy", 7200);
  nullCode.nullCode = true;
  all.push_back(nullCode);
  Case unreadable = article("add_images", "Gift guide", std::nullopt);
  unreadable.updatedText = "last Tuesday";
  all.push_back(unreadable);
  Case fraction = article("review_outline", "Outline: cold brew at home", 90);
  fraction.form = StampForm::utcFraction;
  all.push_back(fraction);
  return all;
}

json articleJson(const Case& c, const std::string& uuid, Time now) {
  json out = {{"uuid", uuid}};
  if (c.title) out["title"] = *c.title;
  if (c.nullCode) {
    out["action_required"] = nullptr;
  } else if (c.code) {
    out["action_required"] = *c.code;
  }
  if (c.updatedText) {
    out["updated_at"] = *c.updatedText;
  } else if (c.updatedAgo) {
    out["updated_at"] = stampText(now - std::chrono::minutes(*c.updatedAgo), c.form);
  }
  return out;
}

constexpr std::size_t kUndatedArticlesProject = 10;

bool undated(const Case& c) {
  return !c.updatedAgo || c.updatedText;
}

bool holds(const Profile& profile, std::size_t index, std::size_t item, const Case& c) {
  if (profile.dailyVisitors <= 0) return false;
  if (undated(c)) return index == kUndatedArticlesProject;
  return index == 0 || (item + index) % 3 == 0;
}

}  // namespace

json articlesAnswer(const Profile& profile, std::size_t index, Time now, Page page,
                    bool ascending) {
  static const std::vector<Case> all = cases();
  now -= projectLag(index);
  // Newest change first; articles without a readable change time sort as the oldest.
  std::vector<std::size_t> order;
  for (std::size_t item = 0; item < all.size(); ++item) {
    if (holds(profile, index, item, all[item])) order.push_back(item);
  }
  const auto age = [&](std::size_t item) {
    const Case& c = all[item];
    return undated(c) ? 1'000'000'000 : *c.updatedAgo;
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return age(a) < age(b); });
  if (ascending) std::reverse(order.begin(), order.end());

  json list = json::array();
  for (std::size_t i = page.offset; i < order.size() && list.size() < page.limit; ++i) {
    list.push_back(
        articleJson(all[order[i]], itemUuid(0xa0000000u, "a17c-4b3e-8d2f", index, order[i]), now));
  }
  return {{"data", std::move(list)}};
}

}  // namespace vx::demo
