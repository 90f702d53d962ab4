#pragma once

// Answers that carry snapshots, written without a JSON tree per snapshot. A timeline's entries
// share one snapshot; as a tree, each entry's copy of a thousand waiting items takes megabytes,
// and a burst of timelines answered side by side holds several at once. While a
// `SnapshotTexts` lives on a thread, an entry written there holds a short marker for its
// snapshot instead, and `write` puts each snapshot's text, encoded once, in place of its marker.
// The line written is the same, byte for byte, as the answer written with the trees in it; it
// is kept in pieces, the snapshots' texts shared rather than copied in, so that a burst of
// answers holds each text once however many entries and answers carry it.

#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/shared_snapshot.hpp"
#include "widgets/driver_answer.hpp"

namespace vx::widgets::driver {

// An answer line in the order it is written: parts of the answer's own text and the shared
// texts of its snapshots.
class AnswerText {
 public:
  void add(std::string part);
  void add(std::shared_ptr<const std::string> shared);
  // The pieces, valid while this text lives unchanged.
  [[nodiscard]] std::vector<std::string_view> pieces() const;
  [[nodiscard]] std::string joined() const;

 private:
  std::vector<std::variant<std::string, std::shared_ptr<const std::string>>> pieces_;
};

class SnapshotTexts {
 public:
  SnapshotTexts();
  ~SnapshotTexts();
  SnapshotTexts(const SnapshotTexts&) = delete;
  SnapshotTexts& operator=(const SnapshotTexts&) = delete;

  // The answer as one line (nlohmann's compact form, invalid UTF-8 replaced), the snapshots'
  // texts in place.
  [[nodiscard]] AnswerText write(const Answer& answer) const;

  // What an entry's "snapshot" member holds: a marker while texts are collected on this thread,
  // the snapshot's JSON otherwise; nothing when the snapshot has no JSON form.
  [[nodiscard]] static std::optional<Answer> valueFor(const SharedSnapshot& snapshot);

 private:
  struct Placed {
    std::string marker;  // as written in the answer, quotes included
    std::shared_ptr<const std::string> text;
  };
  std::vector<Placed> placed_;
  SnapshotTexts* outer_ = nullptr;
};

}  // namespace vx::widgets::driver
