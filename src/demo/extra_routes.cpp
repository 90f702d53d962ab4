// Favicons, push tokens and the demo-only inspection endpoints.

#include <nlohmann/json.hpp>

#include "demo/route_support.hpp"
#include "demo/routes.hpp"

namespace vx::demo {
namespace {

using nlohmann::json;

void favicon(Context& context, const httplib::Request& req, httplib::Response& res) {
  const auto png = context.favicons.icon(req.matches[1]);
  if (!png) return sendError(res, 404, "no icon for this site");
  res.status = 200;
  res.set_content(*png, "image/png");
}

void reportPushToken(Context& context, const httplib::Request& req, httplib::Response& res) {
  auto report = PushTokens::parseReport(req.body);
  if (!report) {
    return sendError(res, 400,
                     "expected a JSON object with token (hexadecimal), platform, environment "
                     "and app_id");
  }
  const std::string token = report->token;
  context.pushTokens.record(std::move(*report));
  sendJson(res, 201, {{"token", token}});
}

// Withdrawing a token the service does not know is not an error: the result is the same.
void withdrawPushToken(Context& context, const httplib::Request& req, httplib::Response& res) {
  context.pushTokens.withdraw(req.matches[1]);
  res.status = 204;
}

json requestCounts(const Context& context) {
  json paths = json::object();
  std::int64_t total = 0;
  for (const auto& [path, n] : context.requests.counts()) {
    paths[path] = n;
    total += n;
  }
  json peaks = json::object();
  for (const auto& [path, n] : context.requests.peaks()) peaks[path] = n;
  return {{"total", total}, {"paths", std::move(paths)}, {"peaks", std::move(peaks)}};
}

}  // namespace

void installExtras(httplib::Server& server, Context& context) {
  server.Get("/v1/favicons/(.+)", withBodyFaults(context, [&context](const httplib::Request& req,
                                                                     httplib::Response& res) {
               favicon(context, req, res);
             }));
  server.Post(
      "/v1/widgets/push-token",
      withBodyFaults(context, [&context](const httplib::Request& req, httplib::Response& res) {
        reportPushToken(context, req, res);
      }));
  server.Delete("/v1/widgets/push-token/([^/]+)",
                [&context](const httplib::Request& req, httplib::Response& res) {
                  withdrawPushToken(context, req, res);
                });
  server.Get("/demo/push-tokens", [&context](const httplib::Request&, httplib::Response& res) {
    sendJson(res, 200, context.pushTokens.listing());
  });
  server.Get("/demo/requests", [&context](const httplib::Request&, httplib::Response& res) {
    sendJson(res, 200, requestCounts(context));
  });
}

}  // namespace vx::demo
