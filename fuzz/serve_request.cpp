// The lines `serve` reads from its host: each one becomes a request or a one-line refusal.

#include <string>

#include <nlohmann/json.hpp>

#include "harness.hpp"
#include "widgets/serve_request.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vx::widgets::driver;
  const std::string_view input = vx::fuzz::text(data, size);
  // serve hands over one line at a time, without its line feed.
  std::string_view rest = input;
  const std::string_view line = vx::fuzz::nextLine(rest);
  if (blankLine(line)) return 0;
  const RequestLine read = readRequest(line);
  if (read.request) {
    vx::fuzz::require(read.refusal.empty(), "a request read has no refusal");
    vx::fuzz::require(read.request->is_object(), "a request is a JSON object");
    (void)laneOf(*read.request);
    // The answer echoes the request's "id", whatever it holds, on one line.
    nlohmann::ordered_json reply = nlohmann::ordered_json::object();
    if (const auto id = read.request->find("id"); id != read.request->end()) reply["id"] = *id;
    const std::string answer =
        reply.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    vx::fuzz::require(answer.find('\n') == std::string::npos, "an answer is one line");
    return 0;
  }
  vx::fuzz::require(read.refusal.find('\n') == std::string::npos, "a refusal is one line");
  const auto refusal = nlohmann::json::parse(read.refusal, nullptr, false);
  vx::fuzz::require(refusal.is_object() && refusal.size() == 2, "a refusal is an object");
  vx::fuzz::require(refusal.contains("id") && refusal["id"].is_null(), "a refusal's id is null");
  vx::fuzz::require(refusal.contains("error") && refusal["error"].is_string(),
                    "a refusal says why");
  return 0;
}
