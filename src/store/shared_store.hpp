#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "model/shared_session.hpp"
#include "model/snapshot.hpp"
#include "store/shared_folder.hpp"

// The shared folder where the desktop application's tool, keyferry, and every widget process
// meet, and the three files in it. Every operation locates the folder afresh, and each read sees
// the latest file written by any process (the snapshot's reader keeps only the last version it
// decoded, and reads the file again once another version stands there). Failures are
// silent: a missing folder, file or undecodable document reads as nothing, and a failed write
// or deletion leaves the previous state in place. Every write replaces a whole file atomically.
namespace vx::SharedStore {

// What was last reported to the service about this installation's widget push token.
struct PushRegistration {
  std::string token;
  std::optional<std::string> reportedWith;

  bool operator==(const PushRegistration&) const = default;
};

// Writes "snapshot.json"; nothing is written when the snapshot holds a real value or a text
// JSON cannot express.
void save(const Snapshot& snapshot);

// Deletes "snapshot.json".
void forgetSnapshot();

// With a registration, writes "push.json" (nothing when it cannot be encoded); with nothing,
// deletes it.
void savePushRegistration(const std::optional<PushRegistration>& registration);

[[nodiscard]] std::optional<SharedSession> session();
[[nodiscard]] std::optional<Snapshot> snapshot();
// The same without a copy. The file is read and decoded again only when another version of it
// stands in the folder than the one decoded last in this process; otherwise the same snapshot
// is answered.
[[nodiscard]] std::shared_ptr<const Snapshot> sharedSnapshot();
[[nodiscard]] std::optional<PushRegistration> pushRegistration();

// The "push.json" form: {"token": ..., "reportedWith": ...}, the latter left out when empty.
// Nothing when a text is not valid UTF-8.
[[nodiscard]] std::optional<std::string> encodePushRegistration(
    const PushRegistration& registration);
[[nodiscard]] std::optional<PushRegistration> decodePushRegistration(std::string_view document);

}  // namespace vx::SharedStore
