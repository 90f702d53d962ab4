#include "widgets/snapshot_texts.hpp"

#include <mutex>

#include <nlohmann/json.hpp>

#include "model/snapshot_json.hpp"

namespace vx::widgets::driver {
namespace {

thread_local SnapshotTexts* collecting = nullptr;

std::string compact(const Answer& value) {
  return value.dump(-1, ' ', false, Answer::error_handler_t::replace);
}

// The snapshot's text as an answer writes it. Requests of one process mostly show the one cached
// snapshot, so the last text is kept for as long as that snapshot lives; encoding one at a time
// also keeps to one tree at a time.
std::shared_ptr<const std::string> textOf(const SharedSnapshot& snapshot) {
  static std::mutex mutex;
  static std::weak_ptr<const Snapshot> lastSnapshot;
  static std::shared_ptr<const std::string> lastText;
  const std::lock_guard lock(mutex);
  if (const auto held = lastSnapshot.lock(); held && held == snapshot.shared()) return lastText;
  auto tree = snapshotToJson(*snapshot);
  if (!tree) return nullptr;
  // Keys come out sorted from this tree, as they do once it is copied into an answer.
  auto text = std::make_shared<const std::string>(
      tree->dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
  lastSnapshot = snapshot.shared();
  lastText = text;
  return text;
}

// Puts the snapshot's tree in place of its marker, which stands as an entry's "snapshot": for an
// answer where the marker's text also stands elsewhere (a name given to look like one), which
// stays as it is.
void replaceMarker(Answer& value, const std::string& marker, const std::string& text) {
  if (!value.is_structured()) return;
  if (value.is_object()) {
    if (auto found = value.find("snapshot");
        found != value.end() && found->is_string() && compact(*found) == marker) {
      *found = Answer::parse(text);
      return;
    }
  }
  for (auto& child : value) replaceMarker(child, marker, text);
}

}  // namespace

SnapshotTexts::SnapshotTexts() : outer_(collecting) {
  collecting = this;
}

SnapshotTexts::~SnapshotTexts() {
  collecting = outer_;
}

std::optional<Answer> SnapshotTexts::valueFor(const SharedSnapshot& snapshot) {
  if (!collecting) {
    auto tree = snapshotToJson(*snapshot);
    if (!tree) return std::nullopt;
    return Answer(std::move(*tree));
  }
  auto text = textOf(snapshot);
  if (!text) return std::nullopt;
  const std::string marker =
      "\x01vx-snapshot-" + std::to_string(collecting->placed_.size()) + "\x01";
  collecting->placed_.push_back({compact(Answer(marker)), std::move(text)});
  return Answer(marker);
}

AnswerText SnapshotTexts::write(const Answer& answer) const {
  std::string written = compact(answer);
  AnswerText line;
  std::size_t from = 0;
  for (const Placed& each : placed_) {
    const std::size_t at = written.find(each.marker, from);
    if (at == std::string::npos || written.find(each.marker, at + 1) != std::string::npos) {
      Answer whole = answer;
      for (const Placed& placed : placed_) replaceMarker(whole, placed.marker, *placed.text);
      AnswerText plain;
      plain.add(compact(whole));
      return plain;
    }
    line.add(written.substr(from, at - from));
    line.add(each.text);
    from = at + each.marker.size();
  }
  if (from == 0) {
    line.add(std::move(written));
  } else {
    line.add(written.substr(from));
  }
  return line;
}

void AnswerText::add(std::string part) {
  if (!part.empty()) pieces_.emplace_back(std::move(part));
}

void AnswerText::add(std::shared_ptr<const std::string> shared) {
  if (shared && !shared->empty()) pieces_.emplace_back(std::move(shared));
}

std::vector<std::string_view> AnswerText::pieces() const {
  std::vector<std::string_view> views;
  views.reserve(pieces_.size());
  for (const auto& piece : pieces_) {
    if (const auto* own = std::get_if<std::string>(&piece)) {
      views.emplace_back(*own);
    } else {
      views.emplace_back(*std::get<std::shared_ptr<const std::string>>(piece));
    }
  }
  return views;
}

std::string AnswerText::joined() const {
  std::string whole;
  for (const std::string_view piece : pieces()) whole.append(piece);
  return whole;
}

}  // namespace vx::widgets::driver
