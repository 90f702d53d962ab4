#include "desktop/extension_link.hpp"

#include <algorithm>
#include <utility>

#include "desktop/whole_number.hpp"
#include "model/json_fields.hpp"

namespace vx::desktop {
namespace {

constexpr auto kFirstDelay = std::chrono::seconds(1);
constexpr auto kLongestDelay = std::chrono::seconds(60);

// The answer on `line` and the id it carries; nothing for a line that is not an answer (not a
// JSON object, or without a whole, non-negative "id").
std::optional<std::pair<std::uint64_t, nlohmann::json>> readAnswer(const std::string& line) {
  try {
    nlohmann::json answer = fields::parse(line);
    const std::int64_t id = wholeNumber(fields::root(answer).member("id"));
    if (id < 0) return std::nullopt;
    return std::pair{static_cast<std::uint64_t>(id), std::move(answer)};
  } catch (const fields::DecodeError&) {
    return std::nullopt;
  }
}

}  // namespace

std::chrono::microseconds restartDelay(int failures) {
  std::chrono::microseconds delay = kFirstDelay;
  for (int i = 1; i < failures && delay < kLongestDelay; ++i) delay *= 2;
  return std::min<std::chrono::microseconds>(delay, kLongestDelay);
}

ExtensionLink::ExtensionLink(std::string program, std::vector<std::string> arguments)
    : program_(std::move(program)), arguments_(std::move(arguments)) {}

std::uint64_t ExtensionLink::request(nlohmann::json request, std::string tag) {
  const std::uint64_t id = nextId_++;
  request["id"] = id;
  if (process_) send(id, request);
  outstanding_.emplace(id, Outstanding{std::move(request), std::move(tag)});
  return id;
}

void ExtensionLink::send(std::uint64_t id, const nlohmann::json& request) {
  nlohmann::json line = request;
  line["id"] = id;
  process_->send(line.dump());
}

void ExtensionLink::start(Instant now) {
  if (process_) return;
  launch();
  if (!process_) restartAt_ = now + restartDelay(++failures_);
}

void ExtensionLink::launch() {
  restartAt_.reset();
  waitingSince_.reset();
  answeredSinceStart_ = false;
  try {
    process_ = std::make_unique<ExtensionProcess>(program_, arguments_);
  } catch (const std::exception&) {
    process_.reset();
    return;
  }
  ++started_;
  // The greeting carries no id of ours: its answers are not waited for.
  for (const nlohmann::json& greeting : greeting_) process_->send(greeting.dump());
  for (const auto& [id, outstanding] : outstanding_) send(id, outstanding.request);
}

std::vector<ExtensionLink::Completed> ExtensionLink::service(Instant now) {
  std::vector<Completed> completed;
  if (process_) {
    (void)process_->flush();
    for (const std::string& line : process_->readLines()) {
      auto answer = readAnswer(line);
      const auto request = answer ? outstanding_.find(answer->first) : outstanding_.end();
      if (request == outstanding_.end()) continue;
      answeredSinceStart_ = true;
      failures_ = 0;
      waitingSince_.reset();
      completed.push_back({std::move(request->second.request), std::move(request->second.tag),
                           std::move(answer->second)});
      outstanding_.erase(request);
    }
    if (outstanding_.empty()) {
      waitingSince_.reset();
    } else if (!waitingSince_) {
      waitingSince_ = now;
    } else if (now - *waitingSince_ >= kAnswerPatience) {
      process_->stop();  // stuck: its end is noticed below, as a failure
    }
    if (process_->outputEnded()) {
      const int status = process_->wait();
      process_.reset();
      if (status == 0 && answeredSinceStart_) {
        restartAt_ = now;  // replaced by a new build: its successor starts at once
      } else {
        ++failures_;
        restartAt_ = now + restartDelay(failures_);
      }
    }
  }
  if (!process_ && restartAt_ && *restartAt_ <= now) launch();
  if (!process_ && !restartAt_) restartAt_ = now + restartDelay(++failures_);  // could not start
  return completed;
}

std::optional<Instant> ExtensionLink::nextWake() const {
  if (process_) {
    if (waitingSince_) return *waitingSince_ + kAnswerPatience;
    return std::nullopt;
  }
  return restartAt_;
}

}  // namespace vx::desktop
