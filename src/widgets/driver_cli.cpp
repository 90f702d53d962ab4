#include "widgets/driver_cli.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string_view>

#include "base/options.hpp"
#include "host/host_platform.hpp"
#include "widgets/driver_json.hpp"
#include "widgets/driver_output.hpp"
#include "widgets/driver_render.hpp"

namespace vx::widgets::driver {
namespace {

using Command = Invocation::Command;
using Takes = base::OptionRule::Takes;

struct CommandName {
  std::string_view name;
  Command command;
  Request::Op op;  // what a one-shot command asks
};

constexpr std::array<CommandName, 7> kCommands = {{
    {"kinds", Command::kinds, Request::Op::kinds},
    {"placeholder", Command::placeholder, Request::Op::placeholder},
    {"preview", Command::preview, Request::Op::snapshot},
    {"timeline", Command::timeline, Request::Op::timeline},
    {"projects", Command::projects, Request::Op::projects},
    {"render", Command::render, Request::Op::render},
    {"serve", Command::serve, Request::Op::kinds},
}};

constexpr std::array<base::OptionRule, 19> kOptions = {{
    {"--help", Takes::nothing},
    {"-h", Takes::nothing},
    {"--preview", Takes::nothing},
    {"--placeholder", Takes::nothing},
    {"--kind"},
    {"--project"},
    {"--period"},
    {"--show-details"},
    {"--family"},
    {"--scheme"},
    {"--mode"},
    {"--tint"},
    {"--format"},
    {"--scale"},
    {"--out"},
    {"--entry"},
    {"--platform-version"},
    {"--push-token"},
    {"--now"},
}};

// The options only render takes, in the order a mistake names them.
constexpr std::array<std::string_view, 10> kRenderOptions = {
    "--family", "--scheme", "--mode",  "--tint",    "--format",
    "--scale",  "--out",    "--entry", "--preview", "--placeholder"};

// The configuration options, each with the parameter it sets.
constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kConfigurationOptions = {
    {{"--project", "project"}, {"--period", "period"}, {"--show-details", "showDetails"}}};

// What the command line has given, once all of it is read.
struct Given {
  const base::OptionReader& reader;
  std::optional<std::string> kind;
  RenderChoices render;
};

// Reads the value of one option, or explains why it cannot.
std::string setOption(std::string_view name, const std::string& value, Given& given,
                      Invocation& invocation) {
  ConfigurationInput& configuration = invocation.request.configuration;
  if (name == "--kind") {
    given.kind = value;
  } else if (name == "--project") {
    if (value.empty()) return "--project takes a project's slug";
    configuration.project = ConfigurationInput::Project{value, std::nullopt};
  } else if (name == "--period") {
    configuration.period = value;
  } else if (name == "--show-details") {
    if (value != "true" && value != "false") return "--show-details takes true or false";
    configuration.showDetails = value == "true";
  } else if (name == "--platform-version") {
    const auto version = base::readNumber<int>(value);
    if (!version || *version < 0) return "--platform-version takes a whole number such as 26";
    invocation.platformVersion = *version;
  } else if (name == "--push-token") {
    invocation.pushToken = host::platform::decodePushToken(value);
    if (!invocation.pushToken) return "--push-token takes hexadecimal digits, two per byte";
  } else if (name == "--family") {
    given.render.family = value;
  } else if (name == "--scheme") {
    given.render.scheme = value;
  } else if (name == "--mode") {
    given.render.mode = value;
  } else if (name == "--tint") {
    given.render.tint = value;
  } else if (name == "--format") {
    given.render.format = value;
  } else if (name == "--scale") {
    given.render.scale = base::readNumber<double>(value);
    if (!given.render.scale) return "--scale takes a number such as 2";
  } else if (name == "--out") {
    if (value.empty()) return "--out takes the image's path";
    invocation.request.out = value;
  } else if (name == "--entry") {
    if (value.empty()) return "--entry takes a file, or - for standard input";
    invocation.entryFile = value;
  } else if (name == "--now") {
    // The clock holds some 292,000 years either side of 1970.
    constexpr std::int64_t kLimit = 9'200'000'000'000'000;
    const auto milliseconds = base::readNumber<std::int64_t>(value);
    if (!milliseconds || *milliseconds <= -kLimit || *milliseconds >= kLimit) {
      return "--now takes milliseconds since 1970 such as 1773144000000";
    }
    invocation.now = Time(std::chrono::milliseconds(*milliseconds));
  }
  return {};
}

bool takesKind(Command command) {
  return command == Command::placeholder || command == Command::preview ||
         command == Command::timeline || command == Command::render;
}

// A render takes a configuration only for an entry it makes itself from a timeline or a preview;
// one handed in, like the placeholder, carries its own.
bool takesConfiguration(const Given& given, Command command) {
  if (command == Command::render) {
    return !given.reader.given("--entry") && !given.reader.given("--placeholder");
  }
  return command == Command::preview || command == Command::timeline;
}

// What the render options say together, into the invocation; an empty text when they fit.
std::string readRender(const Given& given, Invocation& invocation) {
  if (invocation.command != Command::render) {
    for (std::string_view option : kRenderOptions) {
      if (given.reader.given(option)) return std::string(option) + " belongs to render";
    }
    return {};
  }
  Request& request = invocation.request;
  const bool entry = given.reader.given("--entry");
  const bool preview = given.reader.given("--preview");
  const bool placeholder = given.reader.given("--placeholder");
  if ((entry ? 1 : 0) + (preview ? 1 : 0) + (placeholder ? 1 : 0) > 1) {
    return "render draws one entry: --entry, --preview or --placeholder";
  }
  if (request.out.empty()) return "render needs --out";
  RenderChoices choices = given.render;
  choices.platformVersion = invocation.platformVersion;
  try {
    request.settings = drawSettings(request.kind->widget(), choices);
  } catch (const UsageError& error) {
    return error.what();
  }
  request.source = entry         ? EntrySource::given
                   : preview     ? EntrySource::preview
                   : placeholder ? EntrySource::placeholder
                                 : EntrySource::timeline;
  return {};
}

// What the configuration options say; an empty text when they fit.
std::string checkConfiguration(std::string_view command, const Given& given,
                               const Invocation& invocation) {
  for (const auto& [option, parameter] : kConfigurationOptions) {
    if (!given.reader.given(option)) continue;
    if (!takesConfiguration(given, invocation.command)) {
      return std::string(command) + " takes no " + std::string(option);
    }
    const WidgetKind& kind = invocation.request.kind->widget();
    const bool applies = std::any_of(kind.parameters.begin(), kind.parameters.end(),
                                     [&](const IntentParameter& p) { return p.name == parameter; });
    if (!applies) return std::string(kind.kind) + " takes no " + std::string(option);
  }
  return {};
}

// What the options say together, into the invocation's request; an empty text when they fit.
std::string buildRequest(const CommandName& command, const Given& given, Invocation& invocation) {
  const std::string name(command.name);
  invocation.command = command.command;
  invocation.request.op = command.op;
  if (!takesKind(command.command)) {
    if (given.kind) return name + " takes no --kind";
  } else if (!given.kind) {
    return name + " needs --kind";
  } else {
    invocation.request.kind = kindRequests(*given.kind);
    if (!invocation.request.kind) return "unknown widget kind \"" + *given.kind + "\"";
  }
  if (auto error = readRender(given, invocation); !error.empty()) return error;
  return checkConfiguration(name, given, invocation);
}

// The entry file's text, or standard input's for "-". Throws when it cannot be read.
std::string readEntryText(const std::string& source) {
  if (source == "-") {
    // In blocks through C's stream: std::cin, kept in step with it, reads a character a call.
    std::string read;
    std::array<char, 1 << 16> block{};
    while (const std::size_t got = std::fread(block.data(), 1, block.size(), stdin)) {
      read.append(block.data(), got);
    }
    if (std::ferror(stdin)) throw std::runtime_error("cannot read the entry from standard input");
    return read;
  }
  std::ostringstream text;
  std::error_code error;
  if (!std::filesystem::is_regular_file(source, error)) {
    throw std::runtime_error("cannot read the entry " + source + ": not a file");
  }
  std::ifstream file(source, std::ios::binary);
  if (file) text << file.rdbuf();
  if (!file || file.bad()) throw std::runtime_error("cannot read the entry " + source);
  return text.str();
}

}  // namespace

ParsedInvocation parseInvocation(std::span<const std::string> arguments) {
  Invocation invocation;
  const CommandName* command = nullptr;
  base::OptionReader reader(arguments, kOptions);
  Given given{reader, {}, {}};
  while (auto word = reader.next()) {
    if (word->name == "--help" || word->name == "-h") return {Invocation{}, {}};
    if (!word->bare()) {
      if (auto error = setOption(word->name, word->value, given, invocation); !error.empty()) {
        return {std::nullopt, error};
      }
      continue;
    }
    const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                    [&](const CommandName& c) { return c.name == word->value; });
    if (found == kCommands.end()) {
      return {std::nullopt, "unknown command \"" + word->value + "\""};
    }
    if (command) return {std::nullopt, "more than one command"};
    command = &*found;
  }
  if (!reader.mistake().empty()) return {std::nullopt, reader.mistake()};
  if (!command) return {std::nullopt, "no command"};
  if (auto error = buildRequest(*command, given, invocation); !error.empty()) {
    return {std::nullopt, error};
  }
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
  try {
    Request request = invocation.request;
    nlohmann::json entry;
    if (invocation.entryFile) {
      entry = fields::parse(readEntryText(*invocation.entryFile));
      request.entry = fields::root(entry);
    }
    writeLine(answer(request).dump(2, ' ', false, Answer::error_handler_t::replace));
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "vantorix-widgets: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace vx::widgets::driver
