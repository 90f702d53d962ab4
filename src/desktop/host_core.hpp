#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "desktop/drawing_queue.hpp"
#include "desktop/extension_link.hpp"
#include "desktop/headless_output.hpp"
#include "desktop/host_loop.hpp"
#include "desktop/host_requests.hpp"
#include "desktop/notification_questions.hpp"
#include "desktop/placements.hpp"
#include "desktop/schedule.hpp"
#include "desktop/socket_server.hpp"

namespace vx::desktop {

// The host's work, one step at a time: follows the placements file, answers the host socket,
// talks to the extension, requests timelines when due and draws each entry at its date into the
// output folder. Placements it cannot show (see `placementProblem`) are reported once each on
// standard error and left out; the others are shown. Single-threaded; the caller loops over
// `step`.
class Host {
 public:
  // Called after a widget's drawing is in (or gone): the placement and its index record.
  using Drawn = std::function<void(const Placement&, const nlohmann::json& record)>;
  using Removed = std::function<void(const std::string& id)>;
  // Called when only a widget's position changed: it keeps its timeline and its drawing.
  using Moved = std::function<void(const Placement&)>;

  explicit Host(const HostOptions& options);

  // Loads the placements, starts the extension and opens the socket. Throws on failure.
  void start();
  // Waits for work at most `longest` (zero: not at all), then does what is due.
  void step(std::chrono::milliseconds longest);

  // Every widget is drawn again (the appearance changed).
  void setScheme(const std::string& scheme);
  // The widget shows on a monitor of this scale: its drawings are made at it from now on (drawn
  // again at once when it changes), unless the scale was fixed with `keepScale`.
  void setWidgetScale(const std::string& widget, double scale);
  void keepScale() { scaleKept_ = true; }
  void onDrawn(Drawn drawn) { drawn_ = std::move(drawn); }
  void onRemoved(Removed removed) { removed_ = std::move(removed); }
  void onMoved(Moved moved) { moved_ = std::move(moved); }
  // Who puts the question whether an application may show notifications on screen (windowed
  // mode): one question at a time, its response reported with `answerQuestion`.
  void onAskUser(std::function<void(const std::string& app)> show);
  void answerQuestion(const std::string& app, std::optional<Authorization> answer);
  [[nodiscard]] const NotificationPermissions& permissions() const { return permissions_; }
  [[nodiscard]] const Placements& placements() const { return placements_; }
  [[nodiscard]] const std::filesystem::path& outputFolder() const { return options_.output; }
  [[nodiscard]] const std::filesystem::path& placementsPath() const { return file_; }
  [[nodiscard]] const std::vector<KindInfo>& kinds() const { return options_.kinds; }

 private:
  void openSocket();
  void updateGreeting();
  void wait(std::chrono::milliseconds longest);
  void followPlacements();
  void requestTimeline(const std::string& widget);
  void draw(const std::string& widget, const HeldEntry& entry);
  void answered(const ExtensionLink::Completed& completed, Instant now);
  void drawingIn(const ExtensionLink::Completed& completed);
  void sweepAfterRestart();
  void writeIndex();
  [[nodiscard]] Placements showable(Placements all);

  HostOptions options_;
  std::filesystem::path file_;
  NotificationPermissions permissions_;
  HeadlessOutput output_;
  Placements placements_;
  std::optional<std::int64_t> seen_;
  std::optional<ExtensionLink> link_;
  std::optional<SocketServer> server_;
  HostRequests requests_;
  std::optional<NotificationQuestions> questions_;
  Schedule schedule_;
  DrawingQueue drawings_;
  int extensionStarts_ = 0;
  SnapshotPool snapshots_;
  std::map<std::string, HeldEntry> showing_;
  std::map<std::string, double> scales_;
  bool scaleKept_ = false;
  Drawn drawn_;
  Removed removed_;
  Moved moved_;
  // The placements that cannot be shown, by id, with what was reported about them.
  std::map<std::string, std::string> reported_;
};

}  // namespace vx::desktop
