#include "widgets/driver_serve.hpp"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/executor.hpp"
#include "host/host_platform.hpp"
#include "push/widget_pushes.hpp"
#include "widgets/driver_json.hpp"
#include "widgets/driver_output.hpp"
#include "widgets/driver_render.hpp"
#include "widgets/driver_request.hpp"
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

// Standard input a line at a time, through C's buffered stream. Read through std::cin, which
// stays in step with C's stdio, a line costs a call per character: some 25 ms for the megabyte
// that an entry handed back with a thousand waiting items takes.
class InputLines {
 public:
  InputLines() = default;
  ~InputLines() { std::free(buffer_); }
  InputLines(const InputLines&) = delete;
  InputLines& operator=(const InputLines&) = delete;

  // The next line without its line break, valid until the next call; nothing at the end.
  std::optional<std::string_view> next() {
    // A buffer grown by a long line (an entry handed back with its snapshot) is not kept
    // dirty while the process waits for, and parses, what comes next.
    if (capacity_ > kKeptCapacity) {
      std::free(buffer_);
      buffer_ = nullptr;
      capacity_ = 0;
    }
    const ssize_t read = ::getline(&buffer_, &capacity_, stdin);
    if (read < 0) return std::nullopt;
    std::string_view line(buffer_, static_cast<std::size_t>(read));
    if (line.ends_with('\n')) line.remove_suffix(1);
    return line;
  }

 private:
  static constexpr std::size_t kKeptCapacity = 64 * 1024;
  char* buffer_ = nullptr;
  std::size_t capacity_ = 0;
};

const KindRequests& kindOf(const fields::Field& line) {
  const fields::Field kind = line.member("kind");
  const KindRequests* requests = kindRequests(kind.text());
  if (!requests) kind.fail("unknown widget kind \"" + kind.text() + "\"");
  return *requests;
}

Request::Op opOf(const fields::Field& op) {
  using Op = Request::Op;
  static const std::map<std::string, Op, std::less<>> ops = {
      {"kinds", Op::kinds},       {"placeholder", Op::placeholder},
      {"snapshot", Op::snapshot}, {"timeline", Op::timeline},
      {"projects", Op::projects}, {"entities", Op::entities},
      {"render", Op::render},     {"pushTokenDidChange", Op::pushHandOver},
  };
  const std::string name = op.text();
  const auto found = ops.find(name);
  if (found == ops.end()) op.fail("unknown operation \"" + name + "\"");
  return found->second;
}

// The push token in hex ("token") and the number of widgets that use it ("widgets").
void readHandOver(const fields::Field& line, Request& request) {
  const fields::Field token = line.member("token");
  auto bytes = host::platform::decodePushToken(token.text());
  if (!bytes) token.fail("expected hexadecimal digits, two per byte");
  request.token = std::move(*bytes);
  const fields::Field widgets = line.member("widgets");
  const std::int64_t count = widgets.integer();
  if (count < 0) widgets.fail("expected a count of 0 or more");
  request.widgets = static_cast<std::size_t>(count);
}

// What to draw: the entry handed in ("entry"), the preview ("preview": true), the placeholder
// ("placeholder": true) or else the first entry of a fresh timeline for "configuration"; how
// ("family", "scheme", ...) and where ("out").
void readRender(const fields::Field& line, Request& request) {
  RenderChoices choices;
  choices.family = line.member("family").optionalText();
  choices.scheme = line.member("scheme").optionalText();
  choices.mode = line.member("mode").optionalText();
  choices.tint = line.member("tint").optionalText();
  choices.format = line.member("format").optionalText();
  choices.scale = line.member("scale").optionalReal();
  const fields::Field version = line.member("platformVersion");
  const std::int64_t declared = version.optionalInteger().value_or(host::platform::version());
  if (declared < 0 || declared > 1000) version.fail("expected a version such as 26");
  choices.platformVersion = static_cast<int>(declared);
  request.settings = drawSettings(request.kind->widget(), choices);

  const fields::Field entry = line.member("entry");
  const bool preview = line.member("preview").optionalBoolean().value_or(false);
  const bool placeholder = line.member("placeholder").optionalBoolean().value_or(false);
  const fields::Field configuration = line.member("configuration");
  if ((entry.absent() ? 0 : 1) + (preview ? 1 : 0) + (placeholder ? 1 : 0) > 1) {
    throw UsageError("render draws one entry: \"entry\", \"preview\" or \"placeholder\"");
  }
  if ((!entry.absent() || placeholder) && !configuration.absent()) {
    configuration.fail("comes with the entry");
  }
  request.out = line.member("out").text();
  if (request.out.empty()) throw UsageError("render needs the image's path");
  if (!entry.absent()) {
    request.source = EntrySource::given;
    // Read where it lies in the line, under the name it has there.
    request.entry = fields::Field(entry.value(), entry.path());
    return;
  }
  request.source = preview       ? EntrySource::preview
                   : placeholder ? EntrySource::placeholder
                                 : EntrySource::timeline;
  request.configuration = configurationInput(configuration, request.kind->widget().parameters);
}

// The request a line asks, read in the order its members are checked. Throws
// `fields::DecodeError` or `UsageError` for the first member that is wrong.
Request decodeRequest(const fields::Field& line) {
  Request request;
  request.op = opOf(line.member("op"));
  switch (request.op) {
    case Request::Op::kinds:
    case Request::Op::projects:
      break;
    case Request::Op::placeholder:
      request.kind = &kindOf(line);
      break;
    case Request::Op::snapshot:
    case Request::Op::timeline:
      request.kind = &kindOf(line);
      request.configuration =
          configurationInput(line.member("configuration"), request.kind->widget().parameters);
      break;
    case Request::Op::entities:
      request.ids =
          line.member("ids").list<std::string>([](const fields::Field& id) { return id.text(); });
      break;
    case Request::Op::pushHandOver:
      readHandOver(line, request);
      break;
    case Request::Op::render:
      request.kind = &kindOf(line);
      readRender(line, request);
      break;
  }
  return request;
}

// The answer line for a request that was read: it carries the request's "id", and none when the
// request has none. Never throws.
AnswerText answerLine(const Json& request, const SharedSnapshot& handed = {}) {
  const SnapshotTexts texts;
  Answer reply = Answer::object();
  if (auto found = request.find("id"); found != request.end()) reply["id"] = *found;
  try {
    Request decoded = decodeRequest(fields::root(request));
    decoded.handed = handed;
    reply["result"] = answer(decoded);
  } catch (const std::exception& error) {
    reply["error"] = error.what();
  }
  return texts.write(reply);
}

// The snapshot of an entry handed in to be drawn, decoded as its line is read, its member in the
// line left null. A burst of renders waits for the one drawing thread; held as trees, each
// waiting request's copy of a large snapshot takes megabytes. The host hands the same snapshot
// in again and again, so one equal to the last is shared with it. Nothing, and the line as it
// was, when the line holds no such snapshot or it does not decode (the request then fails as it
// would have).
SharedSnapshot takeHandedSnapshot(Json& request) {
  static SharedSnapshot last;  // the reading thread's own
  const auto op = request.find("op");
  if (op == request.end() || *op != "render") return {};
  const auto entry = request.find("entry");
  if (entry == request.end() || !entry->is_object()) return {};
  const auto member = entry->find("snapshot");
  if (member == entry->end() || !member->is_object()) return {};
  std::optional<Snapshot> decoded = snapshotFromJson(*member);
  if (!decoded) return {};
  *member = nullptr;
  if (!last || !(*last == *decoded)) last = SharedSnapshot(std::move(*decoded));
  return last;
}

}  // namespace

int serve() {
  {
    // Declared in this order, the network workers finish first, then the local ones.
    base::Executor local(kLocalWorkers);
    base::Executor network(kNetworkWorkers);
    InputLines input;
    while (const std::optional<std::string_view> line = input.next()) {
      if (blankLine(*line)) continue;
      RequestLine read = readRequest(*line);
      if (!read.request) {
        writeLine(read.refusal);
        continue;
      }
      std::optional<Json>& request = read.request;
      switch (laneOf(*request)) {
        case Lane::reading:
          writeLine(answerLine(*request).pieces());
          break;
        case Lane::local: {
          SharedSnapshot handed = takeHandedSnapshot(*request);
          local.submit([request = std::move(*request), handed = std::move(handed)] {
            writeLine(answerLine(request, handed).pieces());
          });
          break;
        }
        case Lane::network: {
          SharedSnapshot handed = takeHandedSnapshot(*request);
          network.submit([request = std::move(*request), handed = std::move(handed)] {
            writeLine(answerLine(request, handed).pieces());
          });
          break;
        }
      }
    }
    // End of input: every request taken is still answered.
  }
  push::WidgetPushes::waitForPending();
  return 0;
}

}  // namespace vx::widgets::driver
