#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

namespace vx::desktop {

// The drawings the host asks the extension for, at most one under way per widget. A drawing
// asked while one is under way waits for it and replaces any that waited before, so a widget
// has at most two images on disk, the one it shows and the one being drawn, however often it
// is asked to draw again (a burst of reloads, a change of appearance while it draws).
class DrawingQueue {
 public:
  // Hands a render request for `widget` to the extension; gives the request's id.
  using Send = std::function<std::uint64_t(nlohmann::json request, const std::string& widget)>;
  explicit DrawingQueue(Send send) : send_(std::move(send)) {}

  // `widget` is to show the drawing `request` asks for (its "out" names the image).
  void ask(const std::string& widget, nlohmann::json request);
  // The extension answered request `id` for `widget`, and what waited goes out. True when the
  // drawing is to be shown; false when it was asked before the widget went or changed (or is
  // not a request of this queue), and its image is to go.
  [[nodiscard]] bool answered(const std::string& widget, std::uint64_t id);
  // `widget` has gone or changed: what waits is dropped, and what is under way will not be shown.
  void forget(const std::string& widget);
  // The images ("out") of the drawings under way.
  [[nodiscard]] std::set<std::string> underWay() const;

 private:
  struct Slot {
    std::uint64_t id = 0;
    std::string out;
    bool wanted = true;
    std::optional<nlohmann::json> waiting;
  };
  void send(const std::string& widget, nlohmann::json request);

  Send send_;
  std::map<std::string, Slot> slots_;
};

}  // namespace vx::desktop
