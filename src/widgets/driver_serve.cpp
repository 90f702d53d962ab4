#include "widgets/driver_serve.hpp"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "base/executor.hpp"
#include "host/host_platform.hpp"
#include "push/widget_pushes.hpp"
#include "widgets/driver_json.hpp"
#include "widgets/driver_kinds.hpp"
#include "widgets/driver_output.hpp"
#include "widgets/driver_render.hpp"
#include "widgets/kinds.hpp"
#include "widgets/project_entity_query.hpp"
#include "widgets/serve_request.hpp"

namespace vx::widgets::driver {
namespace {

using Json = nlohmann::json;

// Requests that may wait for the service answered at the same time. Most of such a request's
// time is spent waiting for the refresh engine, so a few more threads than cores keep a burst of
// widget requests moving together.
constexpr std::size_t kNetworkWorkers = 8;
// Requests that only read what is on disk or in memory, answered beside those: they never queue
// behind a refresh.
constexpr std::size_t kLocalWorkers = 2;

const KindRequests& kindOf(const fields::Field& request) {
  const fields::Field kind = request.member("kind");
  const KindRequests* requests = kindRequests(kind.text());
  if (!requests) kind.fail("unknown widget kind \"" + kind.text() + "\"");
  return *requests;
}

Answer kinds() {
  Answer list = Answer::array();
  for (const WidgetKind& kind : VantorixWidgets::body()) list.push_back(toJson(kind));
  return list;
}

Answer entities(const fields::Field& request) {
  const std::vector<std::string> ids =
      request.member("ids").list<std::string>([](const fields::Field& id) { return id.text(); });
  return toJson(ProjectEntityQuery().entities(ids));
}

// Hands the token to the push handler that the kinds carry, after taking it as the host's
// current token (none once no widget uses it, so that a later refresh does not report it again).
// Answers once it is handed over; the report itself runs in the background and is waited for at
// the end of input.
Answer pushTokenDidChange(const fields::Field& request) {
  const fields::Field tokenField = request.member("token");
  auto token = host::platform::decodePushToken(tokenField.text());
  if (!token) tokenField.fail("expected hexadecimal digits, two per byte");
  const fields::Field widgetsField = request.member("widgets");
  const std::int64_t widgets = widgetsField.integer();
  if (widgets < 0) widgetsField.fail("expected a count of 0 or more");
  PushHandler handler = nullptr;
  for (const WidgetKind& kind : VantorixWidgets::body()) {
    if (kind.pushHandler) {
      handler = kind.pushHandler;
      break;
    }
  }
  if (!handler) {
    request.member("op").fail("no push handler below platform version " +
                              std::to_string(kPushPlatformVersion));
  }
  if (widgets == 0) {
    host::platform::setCurrentPushToken(std::nullopt);
  } else {
    host::platform::setCurrentPushToken(*token);
  }
  (void)handler(*token, static_cast<std::size_t>(widgets));
  return true;
}

// Draws an entry: the entry handed in ("entry"), the preview ("preview": true), the placeholder
// ("placeholder": true) or else the first entry of a fresh timeline for "configuration"; the
// image goes to "out".
Answer render(const fields::Field& request) {
  const KindRequests& kind = kindOf(request);
  RenderChoices choices;
  choices.kind = request.member("kind").text();
  choices.family = request.member("family").optionalText();
  choices.scheme = request.member("scheme").optionalText();
  choices.mode = request.member("mode").optionalText();
  choices.tint = request.member("tint").optionalText();
  choices.format = request.member("format").optionalText();
  choices.scale = request.member("scale").optionalReal();
  const fields::Field version = request.member("platformVersion");
  const std::int64_t declared = version.optionalInteger().value_or(host::platform::version());
  if (declared < 0 || declared > 1000) version.fail("expected a version such as 26");
  choices.platformVersion = static_cast<int>(declared);
  const DrawSettings settings = drawSettings(choices);

  const fields::Field entry = request.member("entry");
  const bool preview = request.member("preview").optionalBoolean().value_or(false);
  const bool placeholder = request.member("placeholder").optionalBoolean().value_or(false);
  const fields::Field configuration = request.member("configuration");
  if ((entry.absent() ? 0 : 1) + (preview ? 1 : 0) + (placeholder ? 1 : 0) > 1) {
    throw UsageError("render draws one entry: \"entry\", \"preview\" or \"placeholder\"");
  }
  if ((!entry.absent() || placeholder) && !configuration.absent()) {
    configuration.fail("comes with the entry");
  }
  const std::string out = request.member("out").text();
  if (!entry.absent()) return renderEntry(kind, EntrySource::given, entry, settings, out);
  const EntrySource source = preview       ? EntrySource::preview
                             : placeholder ? EntrySource::placeholder
                                           : EntrySource::timeline;
  return renderEntry(kind, source, configuration, settings, out);
}

Answer result(const fields::Field& request) {
  const fields::Field opField = request.member("op");
  const std::string op = opField.text();
  if (op == "kinds") return kinds();
  if (op == "placeholder") return kindOf(request).placeholder();
  if (op == "snapshot") return kindOf(request).snapshot(request.member("configuration"));
  if (op == "timeline") return kindOf(request).timeline(request.member("configuration"));
  if (op == "projects") return toJson(ProjectEntityQuery().suggestedEntities());
  if (op == "entities") return entities(request);
  if (op == "pushTokenDidChange") return pushTokenDidChange(request);
  if (op == "render") return render(request);
  opField.fail("unknown operation \"" + op + "\"");
}

// The answer line for a request that was read: it carries the request's "id", and none when the
// request has none. Never throws.
std::string answer(const Json& request) {
  Answer reply = Answer::object();
  if (auto found = request.find("id"); found != request.end()) reply["id"] = *found;
  try {
    const fields::Field root = fields::root(request);
    reply["result"] = result(root);
  } catch (const std::exception& error) {
    reply["error"] = error.what();
  }
  return reply.dump(-1, ' ', false, Answer::error_handler_t::replace);
}

}  // namespace

int serve() {
  {
    // Declared in this order, the network workers finish first, then the local ones.
    base::Executor local(kLocalWorkers);
    base::Executor network(kNetworkWorkers);
    std::string line;
    while (std::getline(std::cin, line)) {
      if (blankLine(line)) continue;
      RequestLine read = readRequest(line);
      if (!read.request) {
        writeLine(read.refusal);
        continue;
      }
      std::optional<Json>& request = read.request;
      switch (laneOf(*request)) {
        case Lane::reading:
          writeLine(answer(*request));
          break;
        case Lane::local:
          local.submit([request = std::move(*request)] { writeLine(answer(request)); });
          break;
        case Lane::network:
          network.submit([request = std::move(*request)] { writeLine(answer(request)); });
          break;
      }
    }
    // End of input: every request taken is still answered.
  }
  push::WidgetPushes::waitForPending();
  return 0;
}

}  // namespace vx::widgets::driver
