// The inbox and the article list.

#include <nlohmann/json.hpp>

#include "base/options.hpp"
#include "demo/inbox.hpp"
#include "demo/route_support.hpp"
#include "demo/routes.hpp"

namespace vx::demo {
namespace {

constexpr std::size_t kMaxLimit = 100;

// Reads limit (default 20, at most 100) and offset (default 0); answers 400 when either is
// not a whole number.
std::optional<Page> readPage(const httplib::Request& req, httplib::Response& res) {
  Page page;
  if (const auto limit = param(req, "limit")) {
    const auto value = base::readNumber<std::size_t>(*limit);
    if (!value) {
      sendError(res, 400, "limit must be a whole number");
      return std::nullopt;
    }
    page.limit = std::min(*value, kMaxLimit);
  }
  if (const auto offset = param(req, "offset")) {
    const auto value = base::readNumber<std::size_t>(*offset);
    if (!value) {
      sendError(res, 400, "offset must be a whole number");
      return std::nullopt;
    }
    page.offset = *value;
  }
  return page;
}

void inbox(Context& context, const httplib::Request& req, httplib::Response& res) {
  const Found found = projectBySlug(context, req.matches[1]);
  if (found.profile == nullptr) return sendError(res, 404, "no such project");
  const auto page = readPage(req, res);
  if (!page) return;
  sendJson(res, 200, inboxAnswer(*found.profile, found.index, vx::clock::now(), *page));
}

// Articles are addressed by the project's uuid.
void articles(Context& context, const httplib::Request& req, httplib::Response& res) {
  const Found found = projectByUuid(context, req.matches[1]);
  if (found.profile == nullptr) return sendError(res, 404, "no such project");
  const auto page = readPage(req, res);
  if (!page) return;
  if (const auto sort = param(req, "sort_by"); sort && *sort != "updated_at") {
    return sendError(res, 400, "sort_by must be updated_at");
  }
  const auto order = param(req, "order_by");
  if (order && *order != "desc" && *order != "asc") {
    return sendError(res, 400, "order_by must be asc or desc");
  }
  const bool ascending = order && *order == "asc";
  sendJson(res, 200,
           articlesAnswer(*found.profile, found.index, vx::clock::now(), *page, ascending));
}

}  // namespace

void installLists(httplib::Server& server, Context& context) {
  server.Get(
      "/v1/projects/([^/]+)/inbox",
      withBodyFaults(context, [&context](const httplib::Request& req, httplib::Response& res) {
        inbox(context, req, res);
      }));
  server.Get(
      "/v1/projects/([^/]+)/articles",
      withBodyFaults(context, [&context](const httplib::Request& req, httplib::Response& res) {
        articles(context, req, res);
      }));
}

}  // namespace vx::demo
