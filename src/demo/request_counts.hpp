#pragma once

// What the service has been asked, for the demo-only inspection endpoint: requests by method
// and path, and the most of them that were in flight at once.

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace vx::demo {

// A request is in flight from the moment the guard sees it until its answer has been written.
// Every request is served from start to end on one worker thread, and a thread serves one at a
// time: a thread that begins a request has finished its previous one, even when that end was
// never reported (its connection failed on the way), so nothing stays in flight forever.
class RequestCounts {
 public:
  using Figures = std::map<std::string, std::int64_t>;

  // Counts a request for `key` (method and path, without the query) on the calling thread.
  void begin(const std::string& key);
  // The request on the calling thread has been answered; nothing when there is none.
  void end();

  [[nodiscard]] Figures counts() const;
  // The most requests in flight at once, by key.
  [[nodiscard]] Figures peaks() const;

 private:
  void endLocked(std::thread::id thread);

  mutable std::mutex mutex_;
  Figures counts_;
  Figures inFlight_;
  Figures peaks_;
  std::map<std::thread::id, std::string> open_;
};

}  // namespace vx::demo
