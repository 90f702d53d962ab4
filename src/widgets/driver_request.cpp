#include "widgets/driver_request.hpp"

#include "host/host_platform.hpp"
#include "widgets/driver_json.hpp"
#include "widgets/driver_render.hpp"
#include "widgets/project_entity_query.hpp"

namespace vx::widgets::driver {
namespace {

Answer kinds() {
  Answer list = Answer::array();
  for (const WidgetKind& kind : VantorixWidgets::body()) list.push_back(toJson(kind));
  return list;
}

// Hands the token to the push handler that the kinds carry, after taking it as the host's
// current token (none once no widget uses it, so that a later refresh does not report it again).
// Answers once it is handed over; the report itself runs in the background and is waited for at
// the end of input.
Answer pushHandOver(const Request& request) {
  // Every kind carries the same handler, or none below the platform version that has it.
  const PushHandler handler = VantorixWidgets::body().front().pushHandler;
  if (!handler) {
    throw fields::DecodeError(
        "op", "no push handler below platform version " + std::to_string(kPushPlatformVersion));
  }
  if (request.widgets == 0) {
    host::platform::setCurrentPushToken(std::nullopt);
  } else {
    host::platform::setCurrentPushToken(request.token);
  }
  (void)handler(request.token, request.widgets);
  return true;
}

}  // namespace

Answer answer(const Request& request) {
  switch (request.op) {
    case Request::Op::kinds:
      return kinds();
    case Request::Op::placeholder:
      return request.kind->placeholder();
    case Request::Op::snapshot:
      return request.kind->snapshot(request.configuration);
    case Request::Op::timeline:
      return request.kind->timeline(request.configuration);
    case Request::Op::projects:
      return toJson(ProjectEntityQuery().suggestedEntities());
    case Request::Op::entities:
      return toJson(ProjectEntityQuery().entities(request.ids));
    case Request::Op::pushHandOver:
      return pushHandOver(request);
    case Request::Op::render:
      break;
  }
  return renderEntry(request);
}

}  // namespace vx::widgets::driver
