#include "desktop/drawing_queue.hpp"

namespace vx::desktop {

void DrawingQueue::ask(const std::string& widget, nlohmann::json request) {
  const auto slot = slots_.find(widget);
  if (slot == slots_.end()) {
    send(widget, std::move(request));
  } else {
    slot->second.waiting = std::move(request);
  }
}

bool DrawingQueue::answered(const std::string& widget, std::uint64_t id) {
  const auto slot = slots_.find(widget);
  if (slot == slots_.end() || slot->second.id != id) return false;
  const bool wanted = slot->second.wanted;
  std::optional<nlohmann::json> waiting = std::move(slot->second.waiting);
  slots_.erase(slot);
  if (waiting) send(widget, std::move(*waiting));
  return wanted;
}

void DrawingQueue::forget(const std::string& widget) {
  const auto slot = slots_.find(widget);
  if (slot == slots_.end()) return;
  slot->second.wanted = false;
  slot->second.waiting.reset();
}

std::set<std::string> DrawingQueue::underWay() const {
  std::set<std::string> images;
  for (const auto& [widget, slot] : slots_) images.insert(slot.out);
  return images;
}

void DrawingQueue::send(const std::string& widget, nlohmann::json request) {
  std::string out = request.value("out", "");
  const std::uint64_t id = send_(std::move(request), widget);
  slots_[widget] = Slot{id, std::move(out), true, std::nullopt};
}

}  // namespace vx::desktop
