#pragma once

// Reading one line of `serve`'s input into a request, and where that request is answered; kept
// apart from answering it so that the reading can be exercised alone. Include only from .cpp
// files: it pulls in nlohmann/json.

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace vx::widgets::driver {

// Where a request is answered.
enum class Lane {
  // On the reading thread, before the next line is read: work that returns at once and must
  // happen in the order the lines arrived (the push hand-over).
  reading,
  // On the local workers: no network work.
  local,
  // On the network workers: may start a refresh and wait for it.
  network,
};

// One line read: the request when the line is a JSON object, or else the answer line refusing
// it, {"id": null, "error": "..."} (no "id" can be known from such a line).
struct RequestLine {
  std::optional<nlohmann::json> request;
  std::string refusal;
};

// True for a line with nothing but blanks, which is skipped without an answer.
[[nodiscard]] bool blankLine(std::string_view line);

// Never throws.
[[nodiscard]] RequestLine readRequest(std::string_view line);

// The lane of a request that was read; one without a text "op" is answered (with an error) on
// the local workers.
[[nodiscard]] Lane laneOf(const nlohmann::json& request);

}  // namespace vx::widgets::driver
