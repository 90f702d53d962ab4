#pragma once

// The demo service: the account and endpoints of this folder served over HTTP on the loopback
// addresses, until stopped.

#include <memory>
#include <string>

#include "demo/options.hpp"

namespace vx::demo {

class PushTokens;

class Service {
 public:
  explicit Service(ServiceOptions options);
  ~Service();
  Service(const Service&) = delete;
  Service& operator=(const Service&) = delete;

  // Listens on 127.0.0.1 at the configured port (a free one for port 0), and on ::1 at the
  // same port where that address is available, then serves on background threads. Answers
  // an empty text, or why it could not listen.
  [[nodiscard]] std::string start();
  // Ends waits and stalled answers, stops listening and joins the threads. Safe to repeat.
  void stop();

  [[nodiscard]] int port() const;
  // http://localhost:PORT
  [[nodiscard]] std::string baseAddress() const;
  [[nodiscard]] const PushTokens& pushTokens() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The session document that signs the widgets in to a service at `port`:
// {"api":"http://localhost:PORT","token":"..."}.
[[nodiscard]] std::string sessionDocument(int port, const std::string& token);

}  // namespace vx::demo
