#include "desktop/host_core.hpp"

#include <algorithm>
#include <iostream>
#include <stdexcept>
#include <vector>

#include <poll.h>
#include <sys/stat.h>

#include "desktop/placement_check.hpp"
#include "model/clock.hpp"

namespace vx::desktop {
namespace {

using Json = nlohmann::json;

std::optional<std::int64_t> modificationTime(const std::filesystem::path& file) {
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0) return std::nullopt;
  return static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
}

Json pushHandOver(const std::string& token, std::size_t widgets) {
  return {{"op", "pushTokenDidChange"}, {"token", token}, {"widgets", widgets}};
}

// Whether `after` is `before` at another place, and nothing else changed.
bool onlyMoved(const Placement& before, const Placement& after) {
  Placement same = after;
  same.position = before.position;
  return after.position != before.position && same == before;
}

}  // namespace

Host::Host(const HostOptions& options)
    : options_(options),
      file_(placementsFile(options.folder)),
      permissions_(notificationsFile(options.folder), options.app),
      output_(options.output),
      drawings_([this](Json request, const std::string& widget) {
        return link_->request(std::move(request), widget);
      }) {}

void Host::start() {
  openSocket();
  output_.prepare();
  // What an earlier run left: nothing is shown or drawn yet.
  output_.sweep({});
  Placements all = loadPlacements(file_);
  if (all.pushToken.empty()) {
    all.pushToken = newPushToken();
    savePlacements(file_, all);
  }
  placements_ = showable(std::move(all));
  seen_ = modificationTime(file_);
  link_.emplace(options_.extension,
                std::vector<std::string>{"serve", "--push-token", placements_.pushToken});
  updateGreeting();
  for (const Placement& placement : placements_.widgets) schedule_.add(placement.id);
  permissions_.follow();
  requests_.permissions = &permissions_;
  requests_.unattendedAnswer = options_.unattendedAnswer;
  requests_.reload = [this](const std::string& app) {
    if (app == options_.app) schedule_.reloadAll();
  };
  link_->start(clock::now());
  extensionStarts_ = link_->started();
  writeIndex();
}

void Host::openSocket() {
  if (auto activated = activatedSocket()) {
    server_.emplace(SocketServer::adopt(std::move(*activated)));
  } else if (!options_.socket.refusal.empty()) {
    // Where others could reach the socket, a host would take requests from them, or they
    // could take the requests meant for it.
    throw std::runtime_error(options_.socket.refusal);
  } else if (options_.socket.path) {
    server_.emplace(SocketServer::listenAt(*options_.socket.path));
  }
}

void Host::updateGreeting() {
  std::vector<Json> greeting;
  if (!placements_.widgets.empty()) {
    greeting.push_back(pushHandOver(placements_.pushToken, placements_.widgets.size()));
  }
  link_->setGreeting(std::move(greeting));
}

void Host::onAskUser(std::function<void(const std::string& app)> show) {
  questions_.emplace(permissions_, std::move(show));
  requests_.askUser = [this](const std::string& app) { questions_->ask(app); };
}

void Host::answerQuestion(const std::string& app, std::optional<Authorization> answer) {
  if (questions_) questions_->answered(app, answer);
}

void Host::setScheme(const std::string& scheme) {
  if (scheme == options_.scheme) return;
  options_.scheme = scheme;
  for (const auto& [widget, entry] : showing_) draw(widget, entry);
}

void Host::setWidgetScale(const std::string& widget, double scale) {
  const auto known = scales_.find(widget);
  const double current = known != scales_.end() ? known->second : options_.scale;
  if (scaleKept_ || !(scale > 0) || scale == current) return;
  scales_[widget] = scale;
  const auto entry = showing_.find(widget);
  if (entry != showing_.end()) draw(widget, HeldEntry(entry->second));
}

void Host::step(std::chrono::milliseconds longest) {
  wait(longest);
  const Instant now = clock::now();
  followPlacements();
  if (server_) {
    permissions_.follow();
    server_->service(now, [this](const std::string& line) { return requests_.answer(line); });
  }
  for (ExtensionLink::Completed& completed : link_->service(now)) answered(completed, now);
  sweepAfterRestart();
  const Schedule::Due due = schedule_.due(now);
  for (const std::string& widget : due.reloads) requestTimeline(widget);
  for (const Schedule::Show& show : due.shows) draw(show.widget, show.entry);
  if (!due.shows.empty()) writeIndex();
}

void Host::wait(std::chrono::milliseconds longest) {
  const Instant now = clock::now();
  std::optional<Instant> wake = schedule_.nextWake();
  for (const auto& other : {link_->nextWake(), server_ ? server_->nextWake() : std::nullopt}) {
    if (other && (!wake || *other < *wake)) wake = other;
  }
  auto timeout = longest;
  if (wake) {
    const auto until = *wake <= now ? std::chrono::milliseconds(0)
                                    : std::chrono::ceil<std::chrono::milliseconds>(*wake - now);
    timeout = std::min(timeout, until);
  }
  std::vector<pollfd> fds;
  if (server_) server_->addPollFds(fds);
  if (link_->outputFd() >= 0) fds.push_back({link_->outputFd(), POLLIN, 0});
  if (link_->inputFd() >= 0) fds.push_back({link_->inputFd(), POLLOUT, 0});
  (void)::poll(fds.data(), fds.size(), static_cast<int>(timeout.count()));
}

// Picks up what the sub-commands changed in the placements file.
void Host::followPlacements() {
  const auto modified = modificationTime(file_);
  if (modified == seen_) return;
  seen_ = modified;
  Placements latest;
  try {
    latest = showable(loadPlacements(file_));
  } catch (const std::exception&) {
    return;  // a file being edited by hand: keep what runs until it reads again
  }
  std::vector<Placement> moved;
  for (const Placement& placement : placements_.widgets) {
    const Placement* now = latest.find(placement.id);
    if (now != nullptr && onlyMoved(placement, *now)) {
      moved.push_back(*now);  // a moved widget keeps its timeline and its drawing
    } else if (now == nullptr || !(*now == placement)) {
      schedule_.remove(placement.id);
      drawings_.forget(placement.id);
      output_.remove(placement.id);
      showing_.erase(placement.id);
      scales_.erase(placement.id);
      if (removed_) removed_(placement.id);
    }
  }
  for (const Placement& placement : latest.widgets) {
    if (!schedule_.contains(placement.id)) schedule_.add(placement.id);
  }
  const std::size_t before = placements_.widgets.size();
  if (latest.pushToken.empty()) latest.pushToken = placements_.pushToken;
  placements_ = std::move(latest);
  if (placements_.widgets.size() != before) {
    link_->request(pushHandOver(placements_.pushToken, placements_.widgets.size()));
    updateGreeting();
  }
  for (const Placement& placement : moved) {
    output_.move(placement);
    if (moved_) moved_(placement);
  }
  writeIndex();
}

void Host::requestTimeline(const std::string& widget) {
  const Placement* placement = placements_.find(widget);
  if (placement == nullptr) return;
  link_->request(
      {{"op", "timeline"}, {"kind", placement->kind}, {"configuration", placement->configuration}},
      widget);
}

void Host::draw(const std::string& widget, const HeldEntry& entry) {
  const Placement* placement = placements_.find(widget);
  if (placement == nullptr) return;
  showing_[widget] = entry;
  output_.show(*placement, entry.fields, std::nullopt);
  Json request = {{"op", "render"},
                  {"kind", placement->kind},
                  {"family", std::string(host::rawValue(placement->family))},
                  {"scheme", options_.scheme},
                  {"mode", options_.mode},
                  {"scale", scales_.contains(widget) ? scales_.at(widget) : options_.scale},
                  {"entry", entry.whole()},
                  {"out", output_.imagePath(*placement, entry.fields).string()}};
  if (options_.tint) request["tint"] = *options_.tint;
  drawings_.ask(widget, std::move(request));
}

void Host::answered(const ExtensionLink::Completed& completed, Instant now) {
  const Json& request = completed.request;
  const std::string op = request.value("op", "");
  const std::string& widget = completed.tag;
  const auto result = completed.answer.find("result");
  if (op == "timeline" && schedule_.contains(widget)) {
    const auto timeline =
        result != completed.answer.end() ? readTimeline(*result, snapshots_) : std::nullopt;
    if (timeline) {
      schedule_.timelineArrived(widget, timeline->first, timeline->second);
    } else {
      schedule_.timelineFailed(widget, now);
    }
  } else if (op == "render") {
    drawingIn(completed);
  }
}

void Host::drawingIn(const ExtensionLink::Completed& completed) {
  const Json& request = completed.request;
  const std::string& widget = completed.tag;
  const std::filesystem::path image = request.value("out", "");
  const Placement* placement = placements_.find(widget);
  const bool wanted = drawings_.answered(widget, request.value("id", std::uint64_t{0}));
  if (!wanted || placement == nullptr) {
    output_.discard(image);
    return;
  }
  const auto result = completed.answer.find("result");
  const bool drawn = result != completed.answer.end() && result->is_object();
  output_.show(*placement, request.at("entry"), drawn ? *result : Json::object());
  if (!drawn) output_.discard(image);
  writeIndex();
  if (drawn_) {
    if (const Json* record = output_.record(widget)) drawn_(*placement, *record);
  }
}

// An extension that was stopped or died may have left a temporary behind; its successor writes
// only the images still under way.
void Host::sweepAfterRestart() {
  if (link_->started() == extensionStarts_) return;
  extensionStarts_ = link_->started();
  output_.sweep(drawings_.underWay());
}

Placements Host::showable(Placements all) {
  std::map<std::string, std::string> problems;
  std::erase_if(all.widgets, [&](const Placement& placement) {
    auto problem = placementProblem(placement, options_.kinds);
    if (!problem) return false;
    const auto reported = reported_.find(placement.id);
    if (reported == reported_.end() || reported->second != *problem) {
      std::cerr << "vantorix-widget-host: not shown: " << *problem << "\n";
    }
    problems[placement.id] = std::move(*problem);
    return true;
  });
  reported_ = std::move(problems);
  return all;
}

void Host::writeIndex() {
  try {
    output_.writeIndex();
  } catch (const std::exception& error) {
    std::cerr << "vantorix-widget-host: " << error.what() << "\n";
  }
}

}  // namespace vx::desktop
