#include "refresh/waiting_list.hpp"

#include "refresh/plain_preview.hpp"
#include "refresh/time_stamp.hpp"

namespace vx::refresh {
namespace {

// A conversation counts as waiting this long after its last message even when it was read.
constexpr double kQuietSeconds = 1800;

constexpr const char* kReplyPrefix = "Reply to ";
constexpr const char* kNameFreeReply = "Reply to a visitor";
constexpr const char* kSomeVisitor = "a visitor";
constexpr const char* kOtherArticleAction = "Open an article";
constexpr const char* kUntitledArticle = "Untitled article";

bool isPresent(const std::optional<std::string>& text) {
  return text && !text->empty();
}

// The stamp in `text`, or `now` when there is none or it does not read.
Time stampOr(const std::optional<std::string>& text, Time now) {
  if (!text) return now;
  return parseStamp(*text).value_or(now);
}

// Since when the conversation has waited: its last message, or its start when it has had
// none. A last-message stamp that does not read counts as now; it is not replaced by the start.
Time conversationSince(const api::Conversation& conversation, Time now) {
  return stampOr(
      conversation.last_message_at ? conversation.last_message_at : conversation.created_at, now);
}

bool isOpen(const api::Conversation& conversation) {
  return conversation.status == "open";
}

bool isWithAssistant(const api::Conversation& conversation) {
  return conversation.ai_active == true;
}

bool lastWrittenByAgent(const api::Conversation& conversation) {
  return conversation.last_message && conversation.last_message->sender_type == "agent";
}

bool needsAttention(const api::Conversation& conversation, Time now) {
  if (conversation.unread_count && *conversation.unread_count > 0) return true;
  return clock::secondsBetween(conversationSince(conversation, now), now) >= kQuietSeconds;
}

std::string projectPath(const api::Project& project) {
  return "/app/projects/" + project.slug;
}

}  // namespace

const std::map<std::string, std::string, std::less<>>& articleActions() {
  static const std::map<std::string, std::string, std::less<>> actions{
      {"fix_error", "Fix a failed article"},
      {"fix_delivery", "Fix an article's delivery"},
      {"answer_question", "Answer the agent's question"},
      {"review_outline", "Review an article outline"},
      {"provide_sources", "Give the agent a source"},
      {"add_images", "Add an image to an article"},
      {"publish_now", "Publish a scheduled article"},
      {"final_review", "Review and publish an article"},
  };
  return actions;
}

std::vector<api::Conversation> waitingConversations(
    const std::vector<api::Conversation>& conversations) {
  const Time now = clock::now();
  std::vector<api::Conversation> waiting;
  for (const api::Conversation& conversation : conversations) {
    if (!isOpen(conversation)) continue;
    if (isWithAssistant(conversation)) continue;
    if (lastWrittenByAgent(conversation)) continue;
    if (!needsAttention(conversation, now)) continue;
    waiting.push_back(conversation);
  }
  return waiting;
}

WaitingItem item(const api::Conversation& conversation, const api::Project& project) {
  const std::string who = isPresent(conversation.visitor_name)    ? *conversation.visitor_name
                          : isPresent(conversation.visitor_email) ? *conversation.visitor_email
                                                                  : kSomeVisitor;
  WaitingItem item;
  item.id = "conversation:" + conversation.uuid;
  item.kind = WaitingItem::Kind::conversation;
  item.action = kReplyPrefix + who;
  item.privateAction = kNameFreeReply;
  item.detail =
      plainPreview(conversation.last_message ? conversation.last_message->content : std::nullopt);
  item.site = project.domain;
  item.slug = project.slug;
  item.since = conversationSince(conversation, clock::now());
  item.path = projectPath(project) + "/inbox/" + conversation.uuid;
  return item;
}

std::optional<WaitingItem> item(const api::Article& article, const api::Project& project) {
  if (!isPresent(article.action_required)) return std::nullopt;
  const auto known = articleActions().find(*article.action_required);
  const std::string instruction =
      known != articleActions().end() ? known->second : kOtherArticleAction;

  WaitingItem item;
  item.id = "article:" + article.uuid;
  item.kind = WaitingItem::Kind::article;
  item.action = instruction;
  item.privateAction = instruction;
  item.detail = isPresent(article.title) ? *article.title : kUntitledArticle;
  item.site = project.domain;
  item.slug = project.slug;
  item.since = stampOr(article.updated_at, clock::now());
  item.path = projectPath(project) + "/ai-content-editor/" + article.uuid;
  return item;
}

}  // namespace vx::refresh
