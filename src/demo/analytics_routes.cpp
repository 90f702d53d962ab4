// The project list and the analytics endpoints.

#include <nlohmann/json.hpp>

#include "demo/analytics.hpp"
#include "demo/route_support.hpp"
#include "demo/routes.hpp"

namespace vx::demo {
namespace {

using nlohmann::json;

json projectList(const Context& context) {
  json data = json::array();
  for (const Profile& p : context.projects) {
    json project = {{"uuid", p.uuid}, {"slug", p.slug}, {"domain", p.domain}};
    if (p.timezone) project["timezone"] = *p.timezone;
    data.push_back(std::move(project));
  }
  return {{"data", std::move(data)}};
}

// The query of an analytics request, read and checked.
struct Query {
  Window window;
  bool compare = false;
};

// Reads period, from, to, compare and interval; answers 400 and nothing when they are wrong.
std::optional<Query> readQuery(const httplib::Request& req, httplib::Response& res, Day today) {
  const auto period = param(req, "period");
  if (!period) {
    sendError(res, 400, "period is required");
    return std::nullopt;
  }
  const auto window = queryWindow(*period, today, param(req, "from"), param(req, "to"));
  if (!window) {
    sendError(res, 400,
              "period must be 7d, 28d, 30d, 90d, today, or custom with from and to "
              "(yyyy-MM-dd, from not after to, at most " +
                  std::to_string(kMaxWindowDays) + " days)");
    return std::nullopt;
  }
  const auto compare = param(req, "compare");
  if (compare && *compare != "previous_period") {
    sendError(res, 400, "compare must be previous_period");
    return std::nullopt;
  }
  if (const auto interval = param(req, "interval"); interval && *interval != "day") {
    sendError(res, 400, "interval must be day");
    return std::nullopt;
  }
  return Query{*window, compare.has_value()};
}

using Answer = std::function<json(const Traffic&, const httplib::Request&, const Query&)>;

// Finds the project named in the path, places today in its time zone, reads the query and
// answers what `answer` builds.
Handler analytics(Context& context, bool needsQuery, Answer answer) {
  return withBodyFaults(context, [&context, needsQuery, answer = std::move(answer)](
                                     const httplib::Request& req, httplib::Response& res) {
    const Found found = projectBySlug(context, req.matches[1]);
    if (found.profile == nullptr) return sendError(res, 404, "no such project");
    const Traffic traffic(*found.profile, localMoment(found.profile->timezone, vx::clock::now()));
    Query query{Window{traffic.today(), traffic.today()}};
    if (needsQuery) {
      auto read = readQuery(req, res, traffic.today());
      if (!read) return;
      query = *read;
    }
    sendJson(res, 200, answer(traffic, req, query));
  });
}

}  // namespace

void installAnalytics(httplib::Server& server, Context& context) {
  server.Get("/v1/projects",
             withBodyFaults(context, [&context](const httplib::Request&, httplib::Response& res) {
               sendJson(res, 200, projectList(context));
             }));
  const std::string base = "/v1/projects/([^/]+)/analytics/";
  server.Get(
      base + "summary",
      analytics(context, true, [](const Traffic& t, const httplib::Request&, const Query& q) {
        return summaryAnswer(t, q.window, q.compare);
      }));
  server.Get(
      base + "timeseries",
      analytics(context, true, [](const Traffic& t, const httplib::Request&, const Query& q) {
        return timeseriesAnswer(t, q.window);
      }));
  server.Get(
      base + "business-report",
      analytics(context, true, [](const Traffic& t, const httplib::Request& req, const Query& q) {
        return businessReportAnswer(t, q.window, q.compare, param(req, "goal_id"));
      }));
  server.Get(base + "realtime",
             analytics(context, false, [](const Traffic& t, const httplib::Request&, const Query&) {
               return realtimeAnswer(t);
             }));
}

}  // namespace vx::demo
