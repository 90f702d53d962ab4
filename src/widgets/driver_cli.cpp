#include "widgets/driver_cli.hpp"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string_view>

#include "host/host_platform.hpp"
#include "widgets/driver_json.hpp"
#include "widgets/driver_kinds.hpp"
#include "widgets/driver_output.hpp"
#include "widgets/driver_render.hpp"
#include "widgets/project_entity_query.hpp"

namespace vx::widgets::driver {
namespace {

using Json = nlohmann::json;
using Command = Invocation::Command;

const std::map<std::string_view, Command>& commands() {
  static const std::map<std::string_view, Command> table = {
      {"kinds", Command::kinds},       {"placeholder", Command::placeholder},
      {"preview", Command::preview},   {"timeline", Command::timeline},
      {"projects", Command::projects}, {"render", Command::render},
      {"serve", Command::serve},
  };
  return table;
}

template <class Number>
bool readNumber(std::string_view text, Number& out) {
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, out);
  return !text.empty() && error == std::errc() && at == end;
}

// Reads the value of one option into the invocation, or explains why it cannot.
std::string setOption(std::string_view name, const std::string& value, Invocation& invocation) {
  if (name == "--kind") {
    invocation.kind = value;
  } else if (name == "--project") {
    if (value.empty()) return "--project takes a project's slug";
    invocation.project = value;
  } else if (name == "--period") {
    invocation.period = value;
  } else if (name == "--show-details") {
    if (value != "true" && value != "false") return "--show-details takes true or false";
    invocation.showDetails = value == "true";
  } else if (name == "--platform-version") {
    if (!readNumber(value, invocation.platformVersion) || invocation.platformVersion < 0) {
      return "--platform-version takes a whole number such as 26";
    }
  } else if (name == "--push-token") {
    invocation.pushToken = host::platform::decodePushToken(value);
    if (!invocation.pushToken) return "--push-token takes hexadecimal digits, two per byte";
  } else if (name == "--family") {
    invocation.family = value;
  } else if (name == "--scheme") {
    invocation.scheme = value;
  } else if (name == "--mode") {
    invocation.mode = value;
  } else if (name == "--tint") {
    invocation.tint = value;
  } else if (name == "--format") {
    invocation.format = value;
  } else if (name == "--scale") {
    double scale = 0;
    if (!readNumber(value, scale)) return "--scale takes a number such as 2";
    invocation.scale = scale;
  } else if (name == "--out") {
    if (value.empty()) return "--out takes the image's path";
    invocation.out = value;
  } else if (name == "--entry") {
    if (value.empty()) return "--entry takes a file, or - for standard input";
    invocation.entry = value;
  } else if (name == "--now") {
    std::int64_t milliseconds = 0;
    // The clock holds some 292,000 years either side of 1970.
    constexpr std::int64_t kLimit = 9'200'000'000'000'000;
    if (!readNumber(value, milliseconds) || milliseconds <= -kLimit || milliseconds >= kLimit) {
      return "--now takes milliseconds since 1970 such as 1773144000000";
    }
    invocation.now = Time(std::chrono::milliseconds(milliseconds));
  } else {
    return "unknown option \"" + std::string(name) + "\"";
  }
  return {};
}

// Options that stand alone, without a value.
bool isFlag(std::string_view name) {
  return name == "--preview" || name == "--placeholder";
}

void setFlag(std::string_view name, Invocation& invocation) {
  if (name == "--preview") invocation.preview = true;
  if (name == "--placeholder") invocation.placeholder = true;
}

bool takesKind(Command command) {
  return command == Command::placeholder || command == Command::preview ||
         command == Command::timeline || command == Command::render;
}

// A render takes a configuration only for an entry it makes itself from a timeline or a preview;
// one handed in, like the placeholder, carries its own.
bool takesConfiguration(const Invocation& invocation) {
  if (invocation.command == Command::render) return !invocation.entry && !invocation.placeholder;
  return invocation.command == Command::preview || invocation.command == Command::timeline;
}

// The render options given, for the commands that take none.
std::optional<std::string_view> renderOptionGiven(const Invocation& invocation) {
  if (invocation.family) return "--family";
  if (invocation.scheme) return "--scheme";
  if (invocation.mode) return "--mode";
  if (invocation.tint) return "--tint";
  if (invocation.format) return "--format";
  if (invocation.scale) return "--scale";
  if (invocation.out) return "--out";
  if (invocation.entry) return "--entry";
  if (invocation.preview) return "--preview";
  if (invocation.placeholder) return "--placeholder";
  return std::nullopt;
}

RenderChoices renderChoices(const Invocation& invocation) {
  RenderChoices choices;
  choices.kind = invocation.kind.value_or("");
  choices.family = invocation.family;
  choices.scheme = invocation.scheme;
  choices.mode = invocation.mode;
  choices.tint = invocation.tint;
  choices.format = invocation.format;
  choices.scale = invocation.scale;
  choices.platformVersion = invocation.platformVersion;
  return choices;
}

// What the render options say together; an empty text when they fit.
std::string checkRender(const Invocation& invocation) {
  if (invocation.command != Command::render) {
    if (auto option = renderOptionGiven(invocation)) {
      return std::string(*option) + " belongs to render";
    }
    return {};
  }
  const int sources =
      (invocation.entry ? 1 : 0) + (invocation.preview ? 1 : 0) + (invocation.placeholder ? 1 : 0);
  if (sources > 1) return "render draws one entry: --entry, --preview or --placeholder";
  if (!invocation.out) return "render needs --out";
  try {
    (void)drawSettings(renderChoices(invocation));
  } catch (const UsageError& error) {
    return error.what();
  }
  return {};
}

// The configuration options given, each with the parameter it sets.
std::vector<std::pair<std::string_view, std::string_view>> configurationGiven(
    const Invocation& invocation) {
  std::vector<std::pair<std::string_view, std::string_view>> given;
  if (invocation.project) given.emplace_back("--project", "project");
  if (invocation.period) given.emplace_back("--period", "period");
  if (invocation.showDetails) given.emplace_back("--show-details", "showDetails");
  return given;
}

// What the options say together; an empty text when they fit.
std::string check(const Invocation& invocation) {
  const std::string command = [&] {
    for (const auto& [name, value] : commands()) {
      if (value == invocation.command) return std::string(name);
    }
    return std::string();
  }();
  if (!takesKind(invocation.command)) {
    if (invocation.kind) return command + " takes no --kind";
  } else if (!invocation.kind) {
    return command + " needs --kind";
  } else if (!kindRequests(*invocation.kind)) {
    return "unknown widget kind \"" + *invocation.kind + "\"";
  }
  if (auto error = checkRender(invocation); !error.empty()) return error;
  const auto given = configurationGiven(invocation);
  if (!takesConfiguration(invocation)) {
    if (!given.empty()) return command + " takes no " + std::string(given.front().first);
    return {};
  }
  const KindRequests* requests = kindRequests(*invocation.kind);
  const auto parameters = requests->parameters();
  for (const auto& [option, parameter] : given) {
    const bool applies = std::any_of(parameters.begin(), parameters.end(),
                                     [&](const IntentParameter& p) { return p.name == parameter; });
    if (!applies) return *invocation.kind + " takes no " + std::string(option);
  }
  return {};
}

Json configurationJson(const Invocation& invocation) {
  Json configuration = Json::object();
  if (invocation.project) configuration["project"] = *invocation.project;
  if (invocation.period) configuration["period"] = *invocation.period;
  if (invocation.showDetails) configuration["showDetails"] = *invocation.showDetails;
  return configuration;
}

Answer kindsJson() {
  Answer kinds = Answer::array();
  for (const WidgetKind& kind : VantorixWidgets::body()) kinds.push_back(toJson(kind));
  return kinds;
}

// The entry file's text, or standard input's for "-". Throws when it cannot be read.
std::string readEntryText(const std::string& source) {
  std::ostringstream text;
  if (source == "-") {
    text << std::cin.rdbuf();
    if (std::cin.bad()) throw std::runtime_error("cannot read the entry from standard input");
    return text.str();
  }
  std::error_code error;
  if (!std::filesystem::is_regular_file(source, error)) {
    throw std::runtime_error("cannot read the entry " + source + ": not a file");
  }
  std::ifstream file(source, std::ios::binary);
  if (file) text << file.rdbuf();
  if (!file || file.bad()) throw std::runtime_error("cannot read the entry " + source);
  return text.str();
}

// Draws the entry the options name and writes the image; its description on standard output,
// what went wrong on standard error.
int renderCommand(const Invocation& invocation, const fields::Field& configuration) {
  try {
    const KindRequests& kind = *kindRequests(*invocation.kind);
    const DrawSettings settings = drawSettings(renderChoices(invocation));
    Answer answer;
    if (invocation.entry) {
      const Json entry = fields::parse(readEntryText(*invocation.entry));
      answer =
          renderEntry(kind, EntrySource::given, fields::root(entry), settings, *invocation.out);
    } else {
      const EntrySource source = invocation.preview       ? EntrySource::preview
                                 : invocation.placeholder ? EntrySource::placeholder
                                                          : EntrySource::timeline;
      answer = renderEntry(kind, source, configuration, settings, *invocation.out);
    }
    writeLine(answer.dump(2, ' ', false, Answer::error_handler_t::replace));
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "vantorix-widgets: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace

ParsedInvocation parseInvocation(std::span<const std::string> arguments) {
  Invocation invocation;
  std::optional<Command> command;
  std::vector<std::string> seen;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string name = arguments[i];
    if (name == "--help" || name == "-h") return {Invocation{}, {}};
    if (!name.starts_with("-")) {
      const auto found = commands().find(name);
      if (found == commands().end()) return {std::nullopt, "unknown command \"" + name + "\""};
      if (command) return {std::nullopt, "more than one command"};
      command = found->second;
      continue;
    }
    std::optional<std::string> value;
    if (const auto equals = name.find('='); equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
      return {std::nullopt, name + " is given twice"};
    }
    seen.push_back(name);
    if (isFlag(name)) {
      if (value) return {std::nullopt, name + " takes no value"};
      setFlag(name, invocation);
      continue;
    }
    if (!value) {
      if (i + 1 >= arguments.size()) return {std::nullopt, name + " needs a value"};
      value = arguments[++i];
    }
    if (auto error = setOption(name, *value, invocation); !error.empty()) {
      return {std::nullopt, error};
    }
  }
  if (!command) return {std::nullopt, "no command"};
  invocation.command = *command;
  if (auto error = check(invocation); !error.empty()) return {std::nullopt, error};
  return {std::move(invocation), {}};
}

std::string usage() {
  return "Usage: vantorix-widgets COMMAND [options]\n"
         "\n"
         "The widget extension: answers the widget host with JSON on standard output\n"
         "(dates in milliseconds since 1970, snapshots in the snapshot.json form).\n"
         "\n"
         "Commands:\n"
         "  kinds                          the widget kinds, their sizes and configuration\n"
         "  placeholder --kind K           the entry drawn while nothing is known\n"
         "  preview --kind K [config]      a quick entry from the cached data only\n"
         "  timeline --kind K [config]     the dated entries and the reload date\n"
         "  projects                       the projects offered for a Project widget\n"
         "  render --kind K --family F --out PATH [entry] [config] [appearance]\n"
         "                                 draw an entry to an image; its path, sizes, date\n"
         "                                 and links (rectangles in points) on standard output\n"
         "  serve                          answer one JSON request per line on standard input\n"
         "\n"
         "Kinds: ProjectSummaryWidget, AllProjectsWidget, WaitingWidget.\n"
         "\n"
         "Configuration:\n"
         "  --project SLUG                 ProjectSummaryWidget: the project to show\n"
         "  --period RAW                   ProjectSummaryWidget, AllProjectsWidget: days7,\n"
         "                                 days28, days30 or days90 (other text: days7)\n"
         "  --show-details true|false      WaitingWidget: show names and messages\n"
         "\n"
         "Entry to draw (render):\n"
         "  --entry FILE|-                 an entry as timeline, preview or placeholder print\n"
         "                                 it (- reads standard input); it carries its own\n"
         "                                 configuration\n"
         "  --preview, --placeholder       the preview or the placeholder entry\n"
         "                                 (neither: the first entry of a fresh timeline)\n"
         "\n"
         "Appearance (render):\n"
         "  --family F                     systemSmall, systemMedium, systemLarge or\n"
         "                                 systemExtraLarge, among those the kind offers\n"
         "  --scheme light|dark            the desktop's appearance (default light)\n"
         "  --mode full|accented           rendering mode (default full)\n"
         "  --tint #RRGGBB                 the accent colour in accented mode\n"
         "  --format png|svg|pdf           the image's format (default png)\n"
         "  --scale N                      PNG pixels per point, above 0 up to 8 (default 2)\n"
         "  --out PATH                     where to write the image (replaced whole)\n"
         "\n"
         "Host:\n"
         "  --platform-version N           the host's platform version (default 26;\n"
         "                                 below 26 the widgets carry no push handler)\n"
         "  --push-token HEX               the host's current push token for the widgets\n"
         "  --now MS                       pin the clock, milliseconds since 1970\n"
         "  -h, --help                     show this text\n";
}

int runCommand(const Invocation& invocation) {
  Answer answer;
  const Json configuration = configurationJson(invocation);
  const fields::Field field = fields::root(configuration);
  switch (invocation.command) {
    case Command::kinds:
      answer = kindsJson();
      break;
    case Command::projects:
      answer = toJson(ProjectEntityQuery().suggestedEntities());
      break;
    case Command::placeholder:
      answer = kindRequests(*invocation.kind)->placeholder();
      break;
    case Command::preview:
      answer = kindRequests(*invocation.kind)->snapshot(field);
      break;
    case Command::timeline:
      answer = kindRequests(*invocation.kind)->timeline(field);
      break;
    case Command::render:
      return renderCommand(invocation, field);
    case Command::help:
    case Command::serve:
      return 2;
  }
  writeLine(answer.dump(2, ' ', false, Answer::error_handler_t::replace));
  return 0;
}

}  // namespace vx::widgets::driver
