#pragma once

// The service's endpoints, installed on one listening server.

namespace httplib {
class Server;
}

namespace vx::demo {

struct Context;

// Guards (latency, injected faults, the token check), then the endpoints: the project list,
// analytics, inbox, articles, favicons, push tokens and the demo-only inspection endpoints.
void installRoutes(httplib::Server& server, Context& context);

// Each group of endpoints, installed by installRoutes.
void installGuards(httplib::Server& server, Context& context);
void installAnalytics(httplib::Server& server, Context& context);
void installLists(httplib::Server& server, Context& context);
void installExtras(httplib::Server& server, Context& context);

}  // namespace vx::demo
