#pragma once

#include <optional>
#include <string>

namespace vx::refresh {

// One line of plain text from a message's content, which may hold Markdown, HTML or a JSON
// object from the service's assistant: the text is taken out of the JSON object when there is
// one, markup and the common HTML entities are removed, and every run of white space becomes
// one blank. The empty text when there is nothing to show.
//
// The work is bounded so that a hostile or huge message cannot hold up a refresh: markup is
// removed from the first 262144 UTF-16 code units only (after the JSON step), each markup
// pattern has a fixed step budget (a pattern that runs out of budget leaves the rest of the
// text as it stands), and at most the first 65536 code units of what is left are kept. An
// inline image of up to some 190 KB in a tag or Markdown image goes whole; ordinary messages
// come nowhere near any bound.
[[nodiscard]] std::string plainPreview(const std::optional<std::string>& text);

}  // namespace vx::refresh
