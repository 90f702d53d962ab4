#pragma once

#include <future>
#include <stdexcept>
#include <string>
#include <string_view>

#include "api/records_decode.hpp"

namespace vx::api {

// Authenticated GET of one JSON document from the service.
//
// Errors: `Client::Failure` (signed out on 401; failed for any other status but 200 or when no
// address can be formed), `vx::net::TransportError` (no connection, time-out), and
// `vx::json::DecodeError` (a 200 whose body does not decode). Nothing else is thrown.
class Client {
 public:
  enum class FailureKind { signedOut, failed };
  class Failure : public std::runtime_error {
   public:
    explicit Failure(FailureKind kind);
    [[nodiscard]] FailureKind kind() const { return kind_; }

   private:
    FailureKind kind_;
  };

  // `base` is an absolute address (a validated session base); only its scheme, host and port
  // are used.
  Client(std::string base, std::string token);

  [[nodiscard]] const std::string& base() const { return base_; }
  [[nodiscard]] const std::string& token() const { return token_; }

  // Starts the request at once and returns the body's future; the future's get() yields the
  // body of a 200 answer or throws one of the errors above.
  [[nodiscard]] std::future<std::string> fetch(std::string_view path) const;

  // Starts the request and returns the decoded record's future.
  template <class T>
  [[nodiscard]] std::future<T> start(std::string_view path) const {
    return std::async(std::launch::deferred,
                      [body = fetch(path)]() mutable { return decode<T>(body.get()); });
  }

  // Blocking form: the decoded record, or one of the errors above.
  template <class T>
  [[nodiscard]] T get(std::string_view path) const {
    return start<T>(path).get();
  }

 private:
  std::string base_;
  std::string token_;
};

}  // namespace vx::api
