// The inbox and the article list: every case the waiting list tells apart is present, and
// paging, ordering and addressing work as a client expects.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "demo_fixture.hpp"

namespace vx::demo {
namespace {

using nlohmann::json;
using testing::DemoServiceTest;

const char* kInbox = "/v1/projects/northwind/inbox?limit=100&offset=0";
const char* kArticles =
    "/v1/projects/3f6c1a2e-8b4d-4f1a-9c2e-5d7b8a9e0f11/articles?limit=50&offset=0&sort_by=updated_"
    "at&order_by=desc";

std::optional<std::string> text(const json& object, const char* key) {
  if (!object.contains(key) || !object[key].is_string()) return std::nullopt;
  return object[key].get<std::string>();
}

// Minutes from a conversation's latest time stamp to now; nothing when it has none readable.
std::optional<double> minutesAgo(const json& c) {
  const auto stamp =
      c.contains("last_message_at") ? text(c, "last_message_at") : text(c, "created_at");
  if (!stamp) return std::nullopt;
  const auto time = parseStamp(*stamp);
  if (!time) return std::nullopt;
  return std::chrono::duration<double>(vx::clock::now() - *time).count() / 60;
}

bool recent(const json& c) {
  const auto m = minutesAgo(c);
  return m && *m < 30;
}

bool old(const json& c) {
  const auto m = minutesAgo(c);
  return m && *m > 30;
}

bool open(const json& c) {
  return text(c, "status") == "open" && c.value("ai_active", false) != true;
}

std::string content(const json& c) {
  if (!c.contains("last_message") || c["last_message"].is_null()) return {};
  return text(c["last_message"], "content").value_or("");
}

using CasePredicate = std::function<bool(const json&)>;

TEST_F(DemoServiceTest, InboxCoversEveryWaitingCase) {
  const json conversations = fetch(kInbox).at("conversations");
  const std::vector<std::pair<const char*, CasePredicate>> cases = {
      {"capitalised status", [](const json& c) { return text(c, "status") == "Open"; }},
      {"closed", [](const json& c) { return text(c, "status") == "closed"; }},
      {"no status", [](const json& c) { return !c.contains("status"); }},
      {"automated answering", [](const json& c) { return c.value("ai_active", false); }},
      {"agent wrote last",
       [](const json& c) {
         return c["last_message"].is_object() && text(c["last_message"], "sender_type") == "agent";
       }},
      {"open, unread, recent",
       [](const json& c) { return open(c) && c.value("unread_count", 0) > 0 && recent(c); }},
      {"open, read, recent",
       [](const json& c) { return open(c) && c.value("unread_count", 0) == 0 && recent(c); }},
      {"open, read, older than 30 minutes",
       [](const json& c) { return open(c) && c.value("unread_count", 0) == 0 && old(c); }},
      {"started long ago, no last message time",
       [](const json& c) { return !c.contains("last_message_at") && old(c); }},
      {"no time at all",
       [](const json& c) { return !c.contains("last_message_at") && !c.contains("created_at"); }},
      {"unreadable last message time",
       [](const json& c) { return c.contains("last_message_at") && !minutesAgo(c); }},
      {"fractional seconds",
       [](const json& c) {
         return text(c, "last_message_at").value_or("").find('.') != std::string::npos;
       }},
      {"zone offset",
       [](const json& c) { return text(c, "last_message_at").value_or("").ends_with("+01:00"); }},
      {"no message", [](const json& c) { return c["last_message"].is_null(); }},
      {"name", [](const json& c) { return !text(c, "visitor_name").value_or("").empty(); }},
      {"e-mail only",
       [](const json& c) {
         return text(c, "visitor_name").value_or("").empty() &&
                text(c, "visitor_email").has_value();
       }},
      {"neither name nor e-mail",
       [](const json& c) { return !text(c, "visitor_name") && !text(c, "visitor_email"); }},
      {"Markdown", [](const json& c) { return content(c).find("**") != std::string::npos; }},
      {"HTML", [](const json& c) { return content(c).starts_with("<p>"); }},
      {"escaped entity",
       [](const json& c) { return content(c).find("&amp;lt;") != std::string::npos; }},
      {"JSON with a response",
       [](const json& c) { return content(c).starts_with("{\"response\""); }},
      {"JSON with options", [](const json& c) { return content(c).starts_with("{\"options\""); }},
      {"JSON without text", [](const json& c) { return content(c).starts_with("{\"type\""); }},
  };
  for (const auto& [name, matches] : cases) {
    bool found = false;
    for (const json& c : conversations) found = found || matches(c);
    EXPECT_TRUE(found) << "no conversation shows: " << name;
  }
}

TEST_F(DemoServiceTest, InboxTimesStayRelativeToTheClock) {
  const auto ages = [&] {
    std::vector<std::optional<double>> out;
    const json inbox = fetch(kInbox);
    for (const json& c : inbox.at("conversations")) out.push_back(minutesAgo(c));
    return out;
  };
  const auto before = ages();
  vx::clock::advance(std::chrono::hours(5));
  const auto after = ages();
  ASSERT_EQ(before.size(), after.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    ASSERT_EQ(before[i].has_value(), after[i].has_value());
    if (before[i]) {
      EXPECT_NEAR(*before[i], *after[i], 0.01);
    }
  }
}

TEST_F(DemoServiceTest, ListsHonourLimitAndOffset) {
  const json all = fetch(kInbox).at("conversations");
  ASSERT_GT(all.size(), 10u);
  json paged = json::array();
  for (std::size_t offset = 0; offset < all.size(); offset += 4) {
    const json page =
        fetch("/v1/projects/northwind/inbox?limit=4&offset=" + std::to_string(offset));
    EXPECT_LE(page.at("conversations").size(), 4u);
    for (const auto& c : page["conversations"]) paged.push_back(c);
  }
  EXPECT_EQ(paged, all);
  EXPECT_TRUE(
      fetch("/v1/projects/northwind/inbox?limit=10&offset=500").at("conversations").empty());

  const json articles = fetch(kArticles).at("data");
  const json second = fetch(
      "/v1/projects/3f6c1a2e-8b4d-4f1a-9c2e-5d7b8a9e0f11/articles?limit=3&offset=3&sort_by="
      "updated_at&order_by=desc");
  ASSERT_EQ(second.at("data").size(), 3u);
  EXPECT_EQ(second["data"][0], articles[3]);

  EXPECT_EQ(status("/v1/projects/northwind/inbox?limit=ten"), 400);
  EXPECT_EQ(status("/v1/projects/northwind/inbox?offset=-1"), 400);
}

TEST_F(DemoServiceTest, ArticlesCoverEveryActionCodeAndTitleCase) {
  const json articles = fetch(kArticles).at("data");
  std::vector<std::string> codes;
  bool absentCode = false;
  bool nullCode = false;
  bool emptyTitle = false;
  bool missingTitle = false;
  for (const json& a : articles) {
    if (!a.contains("action_required"))
      absentCode = true;
    else if (a["action_required"].is_null())
      nullCode = true;
    else
      codes.push_back(a["action_required"]);
    if (!a.contains("title"))
      missingTitle = true;
    else if (a["title"] == "")
      emptyTitle = true;
  }
  for (const char* code :
       {"fix_error", "fix_delivery", "answer_question", "review_outline", "provide_sources",
        "add_images", "publish_now", "final_review", "translate_article", ""}) {
    EXPECT_NE(std::find(codes.begin(), codes.end(), code), codes.end()) << code;
  }
  EXPECT_TRUE(absentCode);
  EXPECT_TRUE(nullCode);
  EXPECT_TRUE(emptyTitle);
  EXPECT_TRUE(missingTitle);
}

// The eleventh project holds the articles without a readable change time; they come last.
TEST_F(DemoServiceTest, ArticlesComeNewestFirstOrOldestFirst) {
  ServiceOptions options;
  options.projects = 11;
  start(options);
  const std::string articles = "/v1/projects/2d3e4f5a-6b7c-4d8e-af90-1b2c3d4e5f6a/articles";
  const json newest = fetch(articles + "?limit=50&sort_by=updated_at&order_by=desc").at("data");
  std::optional<Time> previous;
  bool undated = false;
  for (const json& a : newest) {
    const auto stamp = text(a, "updated_at");
    const auto time = stamp ? parseStamp(*stamp) : std::nullopt;
    if (!time) {
      undated = true;
      continue;
    }
    EXPECT_FALSE(undated) << "a dated article after an undated one";
    if (previous) {
      EXPECT_LE(*time, *previous);
    }
    previous = time;
  }
  EXPECT_TRUE(undated);
  json oldest = fetch(articles + "?limit=50&sort_by=updated_at&order_by=asc").at("data");
  std::reverse(oldest.begin(), oldest.end());
  EXPECT_EQ(oldest, newest);
}

TEST_F(DemoServiceTest, ListsAreAddressedAsTheClientAddressesThem) {
  EXPECT_EQ(status("/v1/projects/northwind/articles?limit=50"), 404);  // articles go by uuid
  EXPECT_EQ(status("/v1/projects/3f6c1a2e-8b4d-4f1a-9c2e-5d7b8a9e0f11/inbox"), 404);
  EXPECT_EQ(status("/v1/projects/3f6c1a2e-8b4d-4f1a-9c2e-5d7b8a9e0f11/articles?order_by=up"), 400);
  // A project nobody visits has nothing waiting.
  EXPECT_TRUE(
      fetch("/v1/projects/quiet-harbor/inbox?limit=100&offset=0").at("conversations").empty());
}

}  // namespace
}  // namespace vx::demo
