#pragma once

#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <vector>

#include "api/client.hpp"
#include "api/records.hpp"
#include "model/shared_snapshot.hpp"
#include "model/snapshot.hpp"

namespace vx::refresh {

// A snapshot younger than this, or a period's figures stamped within it, are not fetched again.
inline constexpr double kFreshnessSeconds = 10.0;
// At most this many of the service's projects become entries.
inline constexpr std::size_t kProjectCap = 10;

// The one place that turns the shared session into a snapshot. At most one refresh runs per
// process; callers that arrive meanwhile wait for it and then look at the cache again, so a
// burst of widget requests costs one refresh.
class Fetcher {
 public:
  // The refresh engine's answer.
  struct Outcome {
    enum class Kind { fresh, kept, signedOut };

    Kind kind = Kind::signedOut;
    // fresh: the saved snapshot; kept: the best snapshot at hand, if any; signedOut: nothing.
    // Shared with the cache of the shared store when answered from there.
    SharedSnapshot snapshot;

    [[nodiscard]] static Outcome fresh(SharedSnapshot snapshot);
    [[nodiscard]] static Outcome kept(std::optional<Snapshot> snapshot);
    [[nodiscard]] static Outcome signedOut();
    bool operator==(const Outcome&) const = default;
  };

  [[nodiscard]] static Fetcher& shared();

  Fetcher() = default;
  Fetcher(const Fetcher&) = delete;
  Fetcher& operator=(const Fetcher&) = delete;

  // The current snapshot for `period` (nothing: no period figures needed). Never throws.
  [[nodiscard]] Outcome current(std::optional<WidgetPeriod> period);

 private:
  std::mutex mutex_;
  std::optional<std::shared_future<Outcome>> running_;
};

// One complete refresh, with its effect on the shared folder. Never throws.
[[nodiscard]] Fetcher::Outcome fetch(std::optional<WidgetPeriod> period);

// Whether the snapshot, and the period's figures in it, are younger than the freshness window.
// A snapshot dated in the future counts as fresh.
[[nodiscard]] bool isFresh(const Snapshot& snapshot, std::optional<WidgetPeriod> period);

// The project list and every listed project's live figures (the first ten, in list order),
// with period figures carried over from `last`. As soon as the list is in, and before the
// entries are awaited, `listed` (when given) is handed the projects that become entries, each
// with only its slug and time zone. Throws the client's errors for the list, and
// `Client::Failure` (failed) for an empty list.
[[nodiscard]] Snapshot fetchProjects(
    const api::Client& client, const std::optional<Snapshot>& last,
    const std::function<void(std::vector<ProjectEntry>)>& listed = {});

// One project's entry from five concurrent requests; a failed request shows as its empty value.
// Only the period figures are carried over from `last`. Never throws.
[[nodiscard]] ProjectEntry entry(const api::Project& project,
                                 const std::optional<ProjectEntry>& last,
                                 const api::Client& client);

}  // namespace vx::refresh
