#pragma once

#include <future>
#include <stdexcept>
#include <string>
#include <string_view>

#include "api/records_decode.hpp"
#include "net/http_session.hpp"

namespace vx::api {

// Authenticated GET of one JSON document from the service.
//
// Errors: `Client::Failure` (signed out on 401; failed for any other status but 200 or when no
// address can be formed), `vx::net::TransportError` (no connection, time-out, a redirect that
// leaves the base's origin), and `vx::fields::DecodeError` (a 200 whose body does not decode).
// Nothing else is thrown.
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

  // Starts the request at once and returns the answer's future; the future's get() yields a
  // 200 answer or throws one of the errors above.
  [[nodiscard]] std::future<net::Response> fetch(std::string_view path) const;

  // Starts the request and returns the decoded record's future. The answer is kept until its
  // body is decoded, so the body counts against the session's memory limit until then.
  template <class T>
  [[nodiscard]] std::future<T> start(std::string_view path) const {
    return std::async(std::launch::deferred, [answer = fetch(path)]() mutable {
      const net::Response response = answer.get();
      return decode<T>(response.body);
    });
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
