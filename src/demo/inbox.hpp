#pragma once

// The demo inbox and article list. The first project holds one conversation for every case the
// waiting list distinguishes (open or not, automated answering, who wrote last, unread or read,
// waiting longer or shorter than half an hour, names, addresses, Markdown, HTML, entities and
// structured contents, emoji) and one article for every action code; the other projects hold a
// rotating share of the same cases, somewhat older. Times are relative to `now`, so the same
// cases keep waiting (or not) whenever the service is asked. Articles without a readable change
// time count as changed just now and would top every list: only the eleventh project, past the
// ten whose lists the widgets read, holds them.

#include <chrono>
#include <cstddef>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "demo/catalogue.hpp"
#include "model/clock.hpp"

namespace vx::demo {

// A page of a list: at most `limit` elements starting at `offset`.
struct Page {
  std::size_t limit = 20;
  std::size_t offset = 0;
};

// A stable uuid for item `item` of project `project`: `kind` sets the first digits and `middle`
// the fixed middle groups, so conversations and articles never share one.
[[nodiscard]] std::string itemUuid(unsigned kind, const char* middle, std::size_t project,
                                   std::size_t item);

// How much older than the first project's the items of project `index` are: the projects share
// their cases, and without it the merged list would hold the same few ages over and over.
[[nodiscard]] std::chrono::minutes projectLag(std::size_t index);

// `index` is the project's place in the account.
[[nodiscard]] nlohmann::json inboxAnswer(const Profile& profile, std::size_t index, Time now,
                                         Page page);

// Newest change first, or oldest first when `ascending`.
[[nodiscard]] nlohmann::json articlesAnswer(const Profile& profile, std::size_t index, Time now,
                                            Page page, bool ascending);

}  // namespace vx::demo
