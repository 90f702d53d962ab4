#include "refresh/waiting_list.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>

namespace vx {

void PrintTo(const WaitingItem& item, std::ostream* out) {
  *out << "{" << item.id << ", " << rawValue(item.kind) << ", " << item.action << ", "
       << item.privateAction << ", " << item.detail << ", " << item.site << ", " << item.slug
       << ", " << item.since.time_since_epoch().count() << ", " << item.path << "}";
}

namespace refresh {
namespace {

using namespace std::chrono;

// 2026-03-05T14:30:00Z, the pinned now of every test here.
const Time kNow = Time(
    duration_cast<Time::duration>((sys_days(2026y / March / 5) + 14h + 30min).time_since_epoch()));

const api::Project kProject{"p-uuid", "shop", "shop.example.org", "Europe/Berlin"};

class WaitingListTest : public testing::Test {
 protected:
  void SetUp() override { clock::pin(kNow); }
  void TearDown() override { clock::unpin(); }

  // An open conversation with one unread visitor message that arrived a minute ago.
  static api::Conversation unread(std::string uuid) {
    api::Conversation c;
    c.uuid = std::move(uuid);
    c.status = "open";
    c.unread_count = 2;
    c.last_message_at = "2026-03-05T14:29:00Z";
    c.last_message = api::Conversation::Message{"visitor", "Hello?"};
    return c;
  }

  static std::vector<std::string> waitingIds(const std::vector<api::Conversation>& list) {
    std::vector<std::string> ids;
    for (const api::Conversation& c : waitingConversations(list)) ids.push_back(c.uuid);
    return ids;
  }
};

using Ids = std::vector<std::string>;

TEST_F(WaitingListTest, OnlyOpenConversationsWait) {
  auto capitals = unread("capitals");
  capitals.status = "Open";
  auto closed = unread("closed");
  closed.status = "closed";
  auto none = unread("none");
  none.status.reset();
  EXPECT_EQ(waitingIds({unread("a"), capitals, closed, none, unread("b")}), (Ids{"a", "b"}));
}

TEST_F(WaitingListTest, ConversationsWithTheAssistantNeverWait) {
  auto assisted = unread("assisted");
  assisted.ai_active = true;
  assisted.last_message_at = "2026-03-01T00:00:00Z";
  auto handedBack = unread("handed-back");
  handedBack.ai_active = false;
  EXPECT_EQ(waitingIds({assisted, handedBack}), (Ids{"handed-back"}));
}

TEST_F(WaitingListTest, AnAgentsLastWordMeansNoWait) {
  auto answered = unread("answered");
  answered.last_message->sender_type = "agent";
  auto anonymous = unread("anonymous");
  anonymous.last_message->sender_type.reset();
  auto noMessage = unread("no-message");
  noMessage.last_message.reset();
  EXPECT_EQ(waitingIds({answered, anonymous, noMessage}), (Ids{"anonymous", "no-message"}));
}

TEST_F(WaitingListTest, ReadConversationsWaitOnceQuietForHalfAnHour) {
  auto read = unread("read");
  read.unread_count = 0;
  read.last_message_at = "2026-03-05T14:30:00Z";
  EXPECT_EQ(waitingIds({read}), Ids{});
  clock::pin(kNow + 29min);
  EXPECT_EQ(waitingIds({read}), Ids{});
  clock::pin(kNow + 29min + 59s);
  EXPECT_EQ(waitingIds({read}), Ids{});
  clock::pin(kNow + 30min);
  EXPECT_EQ(waitingIds({read}), (Ids{"read"}));
}

TEST_F(WaitingListTest, TheStartCountsOnlyWhenThereIsNoLastMessageTime) {
  auto started = unread("started");
  started.unread_count.reset();
  started.last_message_at.reset();
  started.created_at = "2026-03-05T12:30:00Z";
  auto unreadable = started;
  unreadable.uuid = "unreadable";
  unreadable.last_message_at = "not a time";
  auto undated = started;
  undated.uuid = "undated";
  undated.created_at.reset();
  EXPECT_EQ(waitingIds({started, unreadable, undated}), (Ids{"started"}));
}

TEST_F(WaitingListTest, StampsFromLongAgoWaitSinceThen) {
  auto sentinel = unread("sentinel");
  sentinel.unread_count = 0;
  sentinel.last_message_at = "0001-01-01T00:00:00Z";
  auto old = unread("old");
  old.unread_count = 0;
  old.last_message_at = "1700-01-01T00:00:00Z";
  EXPECT_EQ(waitingIds({sentinel, old}), (Ids{"sentinel", "old"}));
  EXPECT_EQ(refresh::item(old, kProject).since,
            Time(duration_cast<Time::duration>(sys_days(1700y / January / 1).time_since_epoch())));
}

TEST_F(WaitingListTest, AConversationItemNamesTheVisitorWhenKnown) {
  auto c = unread("c-1");
  c.visitor_name = "";
  c.visitor_email = "ana@example.org";
  c.last_message->content = "<p>Is the **blue** one in stock?</p>";
  const WaitingItem item = refresh::item(c, kProject);
  EXPECT_EQ(item, (WaitingItem{"conversation:c-1", WaitingItem::Kind::conversation,
                               "Reply to ana@example.org", "Reply to a visitor",
                               "Is the blue one in stock?", "shop.example.org", "shop", kNow - 1min,
                               "/app/projects/shop/inbox/c-1"}));

  c.visitor_name = "Ana";
  EXPECT_EQ(refresh::item(c, kProject).action, "Reply to Ana");
  c.visitor_name.reset();
  c.visitor_email.reset();
  c.last_message.reset();
  const WaitingItem anonymous = refresh::item(c, kProject);
  EXPECT_EQ(anonymous.action, "Reply to a visitor");
  EXPECT_EQ(anonymous.privateAction, "Reply to a visitor");
  EXPECT_EQ(anonymous.detail, "");
}

TEST_F(WaitingListTest, AConversationWaitsSinceItsLastMessageOrItsStartOrNow) {
  auto c = unread("c-2");
  c.created_at = "2026-03-05T10:00:00Z";
  EXPECT_EQ(refresh::item(c, kProject).since, kNow - 1min);
  c.last_message_at.reset();
  EXPECT_EQ(refresh::item(c, kProject).since, kNow - 4h - 30min);
  c.last_message_at = "garbage";
  EXPECT_EQ(refresh::item(c, kProject).since, kNow);
}

TEST_F(WaitingListTest, ArticleItemsCarryTheInstructionForTheirCode) {
  api::Article a{"a-1", "Spring sale", "publish_now", "2026-03-04T14:30:00.250Z"};
  EXPECT_EQ(refresh::item(a, kProject),
            (WaitingItem{"article:a-1", WaitingItem::Kind::article, "Publish a scheduled article",
                         "Publish a scheduled article", "Spring sale", "shop.example.org", "shop",
                         kNow - 24h + 250ms, "/app/projects/shop/ai-content-editor/a-1"}));
  a.action_required = "answer_question";
  EXPECT_EQ(refresh::item(a, kProject)->action, "Answer the agent's question");
  a.action_required = "something_new";
  EXPECT_EQ(refresh::item(a, kProject)->action, "Open an article");
  EXPECT_EQ(refresh::item(a, kProject)->privateAction, "Open an article");
}

TEST_F(WaitingListTest, ArticlesWithoutACodeNeedNothing) {
  api::Article a{"a-2", "Draft", "", std::nullopt};
  EXPECT_EQ(refresh::item(a, kProject), std::nullopt);
  a.action_required.reset();
  EXPECT_EQ(refresh::item(a, kProject), std::nullopt);
}

TEST_F(WaitingListTest, UntitledOrUndatedArticlesGetDefaults) {
  api::Article a{"a-3", "", "fix_error", "yesterday"};
  const auto item = refresh::item(a, kProject);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->detail, "Untitled article");
  EXPECT_EQ(item->since, kNow);
  a.title.reset();
  EXPECT_EQ(refresh::item(a, kProject)->detail, "Untitled article");
}

}  // namespace
}  // namespace refresh
}  // namespace vx
