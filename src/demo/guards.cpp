// What every request passes before it reaches an endpoint (the request count, the injected
// faults, the bearer token check) and every answer before it leaves (the injected latency).

#include <chrono>

#include "demo/connection_reset.hpp"
#include "demo/route_support.hpp"
#include "demo/routes.hpp"

namespace vx::demo {
namespace {

using Outcome = httplib::Server::HandlerResponse;
using Clock = std::chrono::steady_clock;

// When the request this thread serves may be answered. The injected latency counts from the
// request's arrival and the endpoint works out its answer meanwhile, as a far service's work
// overlaps its answer's time on the wire: a benchmark's refresh then waits for the latency and
// for its own work, not for this stand-in's. The library serves a request on one thread from
// its routing to its answer's last byte.
thread_local Clock::time_point tAnswerAt{};

bool isDemoPath(const std::string& path) {
  return path.starts_with("/demo/");
}

// Icons are fetched without credentials.
bool needsToken(const std::string& path) {
  return !path.starts_with("/v1/favicons/");
}

constexpr std::size_t kOversizeBytes = 17 * 1024 * 1024;

void answerWrongly(Context& context, AnswerFault fault, const httplib::Request& req,
                   httplib::Response& res) {
  switch (fault) {
    case AnswerFault::malformed:
      res.status = 200;
      res.set_content(R"({"data": [{"slug": "cut-off)", "application/json");
      return;
    case AnswerFault::oversize:
      res.status = 200;
      res.set_content(std::string(kOversizeBytes, ' ') + "{}", "application/json");
      return;
    case AnswerFault::redirect:
      res.status = 302;
      res.set_header("Location", "http://127.0.0.1:" + std::to_string(req.local_port) + req.target);
      return;
    case AnswerFault::hang:
      (void)context.stop.wait(std::chrono::milliseconds(context.faults.stallMs()),
                              context.faults.stallMs() == 0);
      sendError(res, 503, "the service is stopping");
      return;
    case AnswerFault::reset:
      // Should the socket not be found, the client still gets no answer it could use.
      (void)resetConnection(req);
      res.set_header("Connection", "close");
      sendError(res, 502, "the connection was reset");
      return;
  }
}

Outcome guard(Context& context, const httplib::Request& req, httplib::Response& res) {
  // The analytics paths are counted per period: one refresh asks for today's summary and the
  // period's at the same time, and each must be single flight on its own.
  const std::string period =
      req.has_param("period") ? " period=" + req.get_param_value("period") : "";
  context.requests.begin(req.method + " " + req.path + period);
  if (isDemoPath(req.path)) return Outcome::Unhandled;

  tAnswerAt = Clock::now() + context.faults.delay();
  if (const auto status = context.faults.injectedStatus(req.target)) {
    sendError(res, *status, "injected status");
    return Outcome::Handled;
  }
  if (const auto fault = context.faults.answerFault(req.target)) {
    answerWrongly(context, *fault, req, res);
    return Outcome::Handled;
  }
  if (context.faults.randomFailure()) {
    sendError(res, 500, "injected failure");
    return Outcome::Handled;
  }
  if (needsToken(req.path) &&
      req.get_header_value("Authorization") != "Bearer " + context.options.token) {
    res.set_header("WWW-Authenticate", "Bearer");
    sendError(res, 401, "unauthorized");
    return Outcome::Handled;
  }
  return Outcome::Unhandled;
}

// Holds an answer until its request's latency has passed; a service that stops sends it at once.
void holdAnswer(Context& context) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(tAnswerAt - Clock::now());
  tAnswerAt = {};
  if (left.count() > 0) (void)context.stop.wait(left);
}

}  // namespace

void installGuards(httplib::Server& server, Context& context) {
  server.set_pre_routing_handler([&context](const httplib::Request& req, httplib::Response& res) {
    return guard(context, req, res);
  });
  // Called for every answer, the guard's own too, just before it is written.
  server.set_post_routing_handler(
      [&context](const httplib::Request&, httplib::Response&) { holdAnswer(context); });
  // The library logs a request on the thread that served it, once its answer has been written.
  server.set_logger(
      [&context](const httplib::Request&, const httplib::Response&) { context.requests.end(); });
  // Answers the routing itself gives (no such endpoint, wrong method) carry a JSON error too.
  server.set_error_handler(httplib::Server::HandlerWithResponse(
      [](const httplib::Request&, httplib::Response& res) -> Outcome {
        if (!res.body.empty() || res.content_provider_) return Outcome::Unhandled;
        sendError(res, res.status, res.status == 404 ? "not found" : "request failed");
        return Outcome::Handled;
      }));
}

void installRoutes(httplib::Server& server, Context& context) {
  installGuards(server, context);
  installAnalytics(server, context);
  installLists(server, context);
  installExtras(server, context);
}

}  // namespace vx::demo
