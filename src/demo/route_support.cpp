#include "demo/route_support.hpp"

#include <algorithm>
#include <chrono>
#include <memory>
#include <nlohmann/json.hpp>

namespace vx::demo {
namespace {

// A held-back body looks at its client this often, so that a client that gave up does not keep
// a worker thread busy for the rest of the stall.
constexpr std::chrono::milliseconds kStallSlice(100);

// Waits `ms` (0: until the service stops or the client leaves); false when the service stops
// or the client has left.
bool holdBack(Context& context, httplib::DataSink& sink, int ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    if (!sink.is_writable()) return false;
    auto slice = kStallSlice;
    if (ms != 0) {
      // Rounded up, so that the whole stall is waited out.
      const auto left =
          std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
      if (left.count() <= 0) return true;
      slice = std::min(slice, left);
    }
    if (context.stop.wait(slice)) return false;
  }
}

using Provider =
    std::function<bool(const std::string& body, std::size_t offset, httplib::DataSink& sink)>;

// Replaces the answer's body with `provide`, which sends it from `offset` on, in its own time.
void provideBody(httplib::Response& res, Provider provide) {
  auto body = std::make_shared<std::string>(std::move(res.body));
  res.body.clear();
  const std::string type = res.get_header_value("Content-Type");
  res.headers.erase("Content-Type");  // set again by the provider
  res.set_content_provider(body->size(), type,
                           [body, provide = std::move(provide)](std::size_t offset, std::size_t,
                                                                httplib::DataSink& sink) {
                             return provide(*body, offset, sink);
                           });
}

// Sends the first half of the body at once and the rest after the stall.
void stallBody(Context& context, httplib::Response& res) {
  provideBody(res,
              [&context](const std::string& body, std::size_t offset, httplib::DataSink& sink) {
                const std::size_t half = body.size() / 2;
                if (offset < half) return sink.write(body.data() + offset, half - offset);
                if (!holdBack(context, sink, context.faults.stallMs())) return false;
                return sink.write(body.data() + offset, body.size() - offset);
              });
}

// Sends the body one byte at a time, each after a pause.
void dripBody(Context& context, httplib::Response& res) {
  provideBody(res,
              [&context](const std::string& body, std::size_t offset, httplib::DataSink& sink) {
                if (!holdBack(context, sink, context.faults.dripMs())) return false;
                return sink.write(body.data() + offset, 1);
              });
}

}  // namespace

void sendJson(httplib::Response& res, int status, const nlohmann::json& body) {
  res.status = status;
  // With the charset named, the server library leaves the answer uncompressed: it compresses
  // only the bare type, and picks brotli at its slowest setting whenever the client accepts it
  // (some 8 ms for a 5 kB inbox), which on a local service is all cost and no gain.
  res.set_content(body.dump(), "application/json; charset=utf-8");
}

void sendError(httplib::Response& res, int status, const std::string& message) {
  sendJson(res, status, {{"error", message}});
}

std::optional<std::string> param(const httplib::Request& req, const char* name) {
  if (!req.has_param(name)) return std::nullopt;
  return req.get_param_value(name);
}

Found projectBySlug(const Context& context, const std::string& slug) {
  for (std::size_t i = 0; i < context.projects.size(); ++i) {
    if (context.projects[i].slug == slug) return {&context.projects[i], i};
  }
  return {};
}

Found projectByUuid(const Context& context, const std::string& uuid) {
  for (std::size_t i = 0; i < context.projects.size(); ++i) {
    if (context.projects[i].uuid == uuid) return {&context.projects[i], i};
  }
  return {};
}

Handler withBodyFaults(Context& context, Handler handler) {
  return [&context, handler = std::move(handler)](const httplib::Request& req,
                                                  httplib::Response& res) {
    handler(req, res);
    if (res.body.empty()) return;
    if (context.faults.stalls(req.target)) {
      stallBody(context, res);
    } else if (context.faults.drips(req.target)) {
      dripBody(context, res);
    }
  };
}

}  // namespace vx::demo
