#pragma once

// One request on its way through the session: the curl easy handle, its header list, the body
// received so far and the promise its caller waits on. Internal to the session.

#include "base/curl_library.hpp"

#include <chrono>
#include <cstddef>
#include <future>
#include <memory>
#include <string>

#include "net/body_budget.hpp"
#include "net/curl_handles.hpp"
#include "net/http_session.hpp"

namespace vx::net {

class Transfer {
 public:
  Transfer() = default;
  ~Transfer();
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  // Sets the handle up for `request` under `options`, its body drawing on `budget`; false when
  // curl refuses.
  [[nodiscard]] bool prepare(const Request& request, const HttpSession::Options& options,
                             std::shared_ptr<BodyBudget> budget);

  [[nodiscard]] CURL* easy() const { return easy_.get(); }

  // Whether nothing has arrived for longer than the no-progress time-out. The clock starts
  // when the transfer is handed to the multi handle (see start()).
  [[nodiscard]] bool stalled(std::chrono::steady_clock::time_point now) const;
  void start(std::chrono::steady_clock::time_point now) { lastProgress_ = now; }

  // Settles the promise from curl's result for the finished transfer.
  void complete(CURLcode result);
  // Settles the promise with a transport error.
  void fail(const std::string& why);

  std::promise<Response> promise;

 private:
  static std::size_t receive(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t receiveHeader(char* data, std::size_t size, std::size_t count, void* self);
  static int progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded);
  static int beforeRequest(void* self, char*, char*, int, int);
  // Room in the body for `length` more bytes, taken from the budget; false when it has none.
  [[nodiscard]] bool makeRoom(std::size_t length);

  // The lists come first, so that they outlive the handle that points at them.
  TextList headers_;
  TextList resolve_;
  EasyHandle easy_{base::curl::easy_init()};
  std::string url_;
  RedirectScope redirects_ = RedirectScope::sameOrigin;
  bool redirectRefused_ = false;
  std::string body_;
  std::size_t maxBodyBytes_ = 0;
  bool oversized_ = false;
  std::shared_ptr<BodyBudget> budget_;
  std::size_t taken_ = 0;  // of the budget, for the memory body_ takes
  bool overBudget_ = false;
  std::chrono::steady_clock::duration noProgressTimeout_{};
  std::chrono::steady_clock::time_point lastProgress_{};
  curl_off_t uploaded_ = 0;
  char errorText_[CURL_ERROR_SIZE] = {};
};

}  // namespace vx::net
