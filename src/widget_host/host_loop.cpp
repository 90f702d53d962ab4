#include "widget_host/host_loop.hpp"

#include <algorithm>
#include <csignal>
#include <iostream>
#include <map>
#include <vector>

#include <poll.h>
#include <sys/stat.h>

#include "model/clock.hpp"
#include "widget_host/extension_link.hpp"
#include "widget_host/headless_output.hpp"
#include "widget_host/host_requests.hpp"
#include "widget_host/placements.hpp"
#include "widget_host/schedule.hpp"
#include "widget_host/socket_server.hpp"

namespace vx::widget_host {
namespace {

using Json = nlohmann::json;

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
  stopRequested = 1;
}

// The longest the loop sleeps: how soon it notices a changed placements file or a stop.
constexpr auto kLongestSleep = std::chrono::milliseconds(500);

std::optional<std::int64_t> modificationTime(const std::filesystem::path& file) {
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0) return std::nullopt;
  return static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
}

Json pushHandOver(const std::string& token, std::size_t widgets) {
  return {{"op", "pushTokenDidChange"}, {"token", token}, {"widgets", widgets}};
}

class Host {
 public:
  explicit Host(const HostOptions& options)
      : options_(options),
        file_(placementsFile(options.folder)),
        permissions_(notificationsFile(options.folder)),
        output_(options.output) {}

  int run() {
    placements_ = loadPlacements(file_);
    if (placements_.pushToken.empty()) {
      placements_.pushToken = newPushToken();
      savePlacements(file_, placements_);
    }
    seen_ = modificationTime(file_);
    link_.emplace(options_.extension,
                  std::vector<std::string>{"serve", "--push-token", placements_.pushToken});
    updateGreeting();
    for (const Placement& placement : placements_.widgets) schedule_.add(placement.id);
    openSocket();
    requests_.permissions = &permissions_;
    requests_.unattendedAnswer = options_.unattendedAnswer;
    requests_.reload = [this](const std::string& app) {
      if (app == options_.app) schedule_.reloadAll();
    };
    link_->start(clock::now());
    writeIndex();
    while (stopRequested == 0) step();
    return 0;
  }

 private:
  void openSocket() {
    if (const auto activated = activatedSocket()) {
      server_.emplace(SocketServer::adopt(*activated));
    } else if (options_.socketPath) {
      server_.emplace(SocketServer::listenAt(*options_.socketPath));
    }
  }

  void updateGreeting() {
    std::vector<Json> greeting;
    if (!placements_.widgets.empty()) {
      greeting.push_back(pushHandOver(placements_.pushToken, placements_.widgets.size()));
    }
    link_->setGreeting(std::move(greeting));
  }

  void step() {
    wait();
    const Instant now = clock::now();
    followPlacements();
    if (server_)
      server_->service(now, [this](const std::string& line) { return requests_.answer(line); });
    for (ExtensionLink::Completed& completed : link_->service(now)) answered(completed, now);
    const Schedule::Due due = schedule_.due(now);
    for (const std::string& widget : due.reloads) requestTimeline(widget);
    for (const Schedule::Show& show : due.shows) draw(show.widget, show.entry);
    if (!due.shows.empty()) writeIndex();
  }

  void wait() {
    const Instant now = clock::now();
    std::optional<Instant> wake = schedule_.nextWake();
    for (const auto& other : {link_->nextWake(), server_ ? server_->nextWake() : std::nullopt}) {
      if (other && (!wake || *other < *wake)) wake = other;
    }
    auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(kLongestSleep);
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
  void followPlacements() {
    const auto modified = modificationTime(file_);
    if (modified == seen_) return;
    seen_ = modified;
    Placements latest;
    try {
      latest = loadPlacements(file_);
    } catch (const std::exception&) {
      return;  // a file being edited by hand: keep what runs until it reads again
    }
    for (const Placement& placement : placements_.widgets) {
      const Placement* now = latest.find(placement.id);
      if (now == nullptr || !(*now == placement)) {
        schedule_.remove(placement.id);
        output_.remove(placement.id);
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
    writeIndex();
  }

  void requestTimeline(const std::string& widget) {
    const Placement* placement = placements_.find(widget);
    if (placement == nullptr) return;
    link_->request({{"op", "timeline"},
                    {"kind", placement->kind},
                    {"configuration", placement->configuration}},
                   widget);
  }

  void draw(const std::string& widget, const Json& entry) {
    const Placement* placement = placements_.find(widget);
    if (placement == nullptr) return;
    output_.show(*placement, entry, std::nullopt);
    link_->request({{"op", "render"},
                    {"kind", placement->kind},
                    {"family", std::string(host::rawValue(placement->family))},
                    {"scheme", options_.scheme},
                    {"scale", options_.scale},
                    {"entry", entry},
                    {"out", output_.imagePath(*placement, entry).string()}},
                   widget);
    latestDrawing_[widget] = entry;
  }

  void answered(const ExtensionLink::Completed& completed, Instant now) {
    const Json& request = completed.request;
    const std::string op = request.value("op", "");
    const std::string& widget = completed.tag;
    const auto result = completed.answer.find("result");
    if (op == "timeline" && schedule_.contains(widget)) {
      const auto timeline = result != completed.answer.end() ? readTimeline(*result) : std::nullopt;
      if (timeline) {
        schedule_.timelineArrived(widget, timeline->first, timeline->second);
      } else {
        schedule_.timelineFailed(widget, now);
      }
    } else if (op == "render") {
      const Placement* placement = placements_.find(widget);
      const auto latest = latestDrawing_.find(widget);
      // Only the drawing of the entry showing now counts.
      if (placement != nullptr && latest != latestDrawing_.end() &&
          latest->second == request.at("entry")) {
        const bool drawn = result != completed.answer.end() && result->is_object();
        output_.show(*placement, latest->second, drawn ? *result : Json::object());
        writeIndex();
      }
    }
  }

  void writeIndex() {
    try {
      output_.writeIndex();
    } catch (const std::exception& error) {
      std::cerr << "vantorix-widget-host: " << error.what() << "\n";
    }
  }

  const HostOptions& options_;
  std::filesystem::path file_;
  NotificationPermissions permissions_;
  HeadlessOutput output_;
  Placements placements_;
  std::optional<std::int64_t> seen_;
  std::optional<ExtensionLink> link_;
  std::optional<SocketServer> server_;
  HostRequests requests_;
  Schedule schedule_;
  std::map<std::string, Json> latestDrawing_;
};

}  // namespace

int runHost(const HostOptions& options) {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGTERM, requestStop);
  std::signal(SIGINT, requestStop);
  try {
    std::error_code ignored;
    std::filesystem::create_directories(options.output, ignored);
    return Host(options).run();
  } catch (const std::exception& error) {
    std::cerr << "vantorix-widget-host: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace vx::widget_host
