#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "api/records.hpp"
#include "model/snapshot.hpp"

namespace vx::refresh {

// The instruction shown for each article action code the service sends.
[[nodiscard]] const std::map<std::string, std::string, std::less<>>& articleActions();

// The conversations that wait for a reply from the user, in their given order: open, not in
// the hands of the assistant, last written by someone other than an agent, and either unread
// or quiet for at least 30 minutes.
[[nodiscard]] std::vector<api::Conversation> waitingConversations(
    const std::vector<api::Conversation>& conversations);

// A waiting conversation as an item of the waiting list.
[[nodiscard]] WaitingItem item(const api::Conversation& conversation, const api::Project& project);

// An article as an item of the waiting list; absent when the article needs no action.
[[nodiscard]] std::optional<WaitingItem> item(const api::Article& article,
                                              const api::Project& project);

}  // namespace vx::refresh
