#pragma once

// Runs the demo service in this process on a free loopback port, with the clock pinned, and
// asks it things with a plain HTTP client.

#include <gtest/gtest.h>
#include <httplib.h>

#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "demo/calendar.hpp"
#include "demo/options.hpp"
#include "demo/service.hpp"
#include "model/clock.hpp"

namespace vx::testing {

inline Time at(const char* stamp) {
  auto time = demo::parseStamp(stamp);
  if (!time) throw std::runtime_error(std::string("bad test time ") + stamp);
  return *time;
}

// 2026-03-10 is a Tuesday; at noon UTC it is already 11 March on Kiritimati.
inline constexpr const char* kNoon = "2026-03-10T12:00:00Z";

class DemoServiceTest : public ::testing::Test {
 protected:
  void SetUp() override { vx::clock::pin(at(kNoon)); }
  void TearDown() override {
    if (service_) service_->stop();
    vx::clock::unpin();
  }

  // Starts the service with `options` (on a free port); call once per test, or let the first
  // request start it with the defaults.
  void start(demo::ServiceOptions options = {}) {
    options.port = 0;
    token_ = options.token;
    service_ = std::make_unique<demo::Service>(std::move(options));
    ASSERT_EQ(service_->start(), "");
  }

  httplib::Client client() {
    if (!service_) start();
    httplib::Client c("127.0.0.1", service_->port());
    c.set_read_timeout(10, 0);
    return c;
  }

  httplib::Result get(const std::string& path) {
    return client().Get(path.c_str(), {{"Authorization", "Bearer " + token_}});
  }

  // The body of a 200 answer as JSON; fails the test otherwise.
  nlohmann::json fetch(const std::string& path) {
    auto res = get(path);
    if (!res) {
      ADD_FAILURE() << path << ": no answer";
      return nullptr;
    }
    EXPECT_EQ(res->status, 200) << path << ": " << res->body;
    return nlohmann::json::parse(res->body, nullptr, false);
  }

  // The JSON text of a 200 answer (empty when there is none).
  std::string body(const std::string& path) {
    auto res = get(path);
    if (!res || res->status != 200) {
      ADD_FAILURE() << path << ": " << (res ? std::to_string(res->status) : "no answer");
      return {};
    }
    return res->body;
  }

  int status(const std::string& path) {
    auto res = get(path);
    return res ? res->status : -1;
  }

  std::unique_ptr<demo::Service> service_;
  std::string token_ = demo::kDefaultToken;
};

}  // namespace vx::testing
