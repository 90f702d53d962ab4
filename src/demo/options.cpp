#include "demo/options.hpp"

#include <functional>
#include <map>

#include "base/options.hpp"
#include "demo/calendar.hpp"
#include "demo/catalogue.hpp"

namespace vx::demo {
namespace {

// Reads a whole number within [low, high] or explains why not.
std::string readInt(const std::string& name, const std::string& text, long long low, long long high,
                    long long& out) {
  const auto number = base::readNumber<long long>(text);
  if (!number || *number < low || *number > high) {
    return name + " takes a whole number from " + std::to_string(low) + " to " +
           std::to_string(high) + ", not \"" + text + "\"";
  }
  out = *number;
  return {};
}

std::string readPattern(const std::string& name, const std::string& text, Pattern& out) {
  try {
    out = Pattern{text, std::regex(text, std::regex::ECMAScript)};
  } catch (const std::regex_error& e) {
    return name + ": \"" + text + "\" is not a regular expression (" + e.what() + ")";
  }
  return {};
}

using Setter = std::function<std::string(const std::string& value, ProgramOptions& options)>;

// An option that sets a fault setting of whole milliseconds within [low, high].
Setter millisecondsInto(const std::string& name, long long low, long long high,
                        int FaultOptions::*field) {
  return [=](const std::string& v, ProgramOptions& o) {
    long long n = 0;
    auto error = readInt(name, v, low, high, n);
    o.service.faults.*field = static_cast<int>(n);
    return error;
  };
}

// An option that adds a regular expression to a list of fault patterns.
Setter patternInto(const std::string& name, std::vector<Pattern> FaultOptions::*list) {
  return [=](const std::string& v, ProgramOptions& o) {
    Pattern pattern;
    auto error = readPattern(name, v, pattern);
    if (error.empty()) (o.service.faults.*list).push_back(std::move(pattern));
    return error;
  };
}

// Options that take a value, by name.
const std::map<std::string, Setter>& valueOptions() {
  static const std::map<std::string, Setter> options = {
      {"--port",
       [](const std::string& v, ProgramOptions& o) {
         long long n = 0;
         auto error = readInt("--port", v, 0, 65535, n);
         o.service.port = static_cast<int>(n);
         return error;
       }},
      {"--token",
       [](const std::string& v, ProgramOptions& o) -> std::string {
         if (v.empty() || v.find_first_of(" \t\r\n") != std::string::npos) {
           return "--token takes a non-empty text without blanks";
         }
         o.service.token = v;
         return {};
       }},
      {"--projects",
       [](const std::string& v, ProgramOptions& o) {
         long long n = 0;
         auto error = readInt("--projects", v, 1, static_cast<long long>(catalogueSize()), n);
         o.service.projects = static_cast<std::size_t>(n);
         return error;
       }},
      {"--threads",
       [](const std::string& v, ProgramOptions& o) {
         long long n = 0;
         auto error = readInt("--threads", v, 1, 512, n);
         o.service.threads = static_cast<int>(n);
         return error;
       }},
      {"--now",
       [](const std::string& v, ProgramOptions& o) -> std::string {
         o.now = parseStamp(v);
         if (!o.now) return "--now takes an ISO 8601 date-time such as 2026-03-10T12:00:00Z";
         return {};
       }},
      {"--latency-ms", millisecondsInto("--latency-ms", 0, 600'000, &FaultOptions::latencyMs)},
      {"--jitter-ms", millisecondsInto("--jitter-ms", 0, 600'000, &FaultOptions::jitterMs)},
      {"--error-rate",
       [](const std::string& v, ProgramOptions& o) -> std::string {
         const auto rate = base::readNumber<double>(v);
         if (!rate || !(*rate >= 0 && *rate <= 1)) {
           return "--error-rate takes a number from 0 to 1, not \"" + v + "\"";
         }
         o.service.faults.errorRate = *rate;
         return {};
       }},
      {"--seed",
       [](const std::string& v, ProgramOptions& o) -> std::string {
         const auto seed = base::readNumber<std::uint64_t>(v);
         if (!seed) return "--seed takes a whole number";
         o.service.faults.seed = *seed;
         return {};
       }},
      {"--status",
       [](const std::string& v, ProgramOptions& o) -> std::string {
         const auto colon = v.find(':');
         if (colon == std::string::npos) return "--status takes CODE:REGEX, not \"" + v + "\"";
         long long code = 0;
         StatusRule rule;
         if (auto error = readInt("--status CODE", v.substr(0, colon), 100, 599, code);
             !error.empty()) {
           return error;
         }
         rule.status = static_cast<int>(code);
         if (auto error = readPattern("--status", v.substr(colon + 1), rule.pattern);
             !error.empty()) {
           return error;
         }
         o.service.faults.statuses.push_back(std::move(rule));
         return {};
       }},
      {"--fault",
       [](const std::string& v, ProgramOptions& o) -> std::string {
         static const std::map<std::string, AnswerFault> kinds = {
             {"malformed", AnswerFault::malformed},
             {"oversize", AnswerFault::oversize},
             {"redirect", AnswerFault::redirect},
             {"hang", AnswerFault::hang},
             {"reset", AnswerFault::reset}};
         const auto colon = v.find(':');
         const auto kind = kinds.find(v.substr(0, colon));
         if (colon == std::string::npos || kind == kinds.end()) {
           return "--fault takes malformed|oversize|redirect|hang|reset:REGEX, not \"" + v + "\"";
         }
         AnswerFaultRule rule;
         rule.fault = kind->second;
         auto error = readPattern("--fault", v.substr(colon + 1), rule.pattern);
         if (error.empty()) o.service.faults.answerFaults.push_back(std::move(rule));
         return error;
       }},
      {"--stall", patternInto("--stall", &FaultOptions::stalls)},
      {"--stall-ms", millisecondsInto("--stall-ms", 0, 3'600'000, &FaultOptions::stallMs)},
      {"--drip", patternInto("--drip", &FaultOptions::drips)},
      {"--drip-ms", millisecondsInto("--drip-ms", 1, 3'600'000, &FaultOptions::dripMs)},
      {"--ready-file",
       [](const std::string& v, ProgramOptions& o) -> std::string {
         if (v.empty()) return "--ready-file takes a path";
         o.readyFile = v;
         return {};
       }},
  };
  return options;
}

// Every option, given as often as one likes: the last value of a setting holds, and patterns add
// up.
const std::vector<base::OptionRule>& optionRules() {
  using Takes = base::OptionRule::Takes;
  static const std::vector<base::OptionRule> rules = [] {
    std::vector<base::OptionRule> all;
    for (const char* flag : {"--help", "-h", "--print-session"}) {
      all.push_back({flag, Takes::nothing, true});
    }
    for (const auto& [name, setter] : valueOptions()) all.push_back({name, Takes::value, true});
    return all;
  }();
  return rules;
}

}  // namespace

bool Pattern::finds(const std::string& target) const {
  return std::regex_search(target, regex);
}

ParsedOptions parseOptions(std::span<const std::string> args) {
  ProgramOptions options;
  base::OptionReader reader(args, optionRules());
  while (auto word = reader.next()) {
    if (word->bare()) return {std::nullopt, "unknown option \"" + word->value + "\""};
    if (word->name == "--help" || word->name == "-h") {
      options.help = true;
    } else if (word->name == "--print-session") {
      options.printSession = true;
    } else if (auto error = valueOptions().at(word->name)(word->value, options); !error.empty()) {
      return {std::nullopt, error};
    }
  }
  if (!reader.mistake().empty()) return {std::nullopt, reader.mistake()};
  return {std::move(options), {}};
}

std::string usage() {
  return "Usage: vantorix-demo-service [options]\n"
         "\n"
         "A local stand-in for the analytics service, with a deterministic demo account.\n"
         "It listens on 127.0.0.1 (and ::1 where it can) and is reached as\n"
         "http://localhost:PORT. Once listening it prints the session document\n"
         "{\"api\":\"http://localhost:PORT\",\"token\":\"...\"} as one line on standard output,\n"
         "then serves until SIGINT or SIGTERM.\n"
         "\n"
         "Service:\n"
         "  --port N           port to listen on (default " +
         std::to_string(kDefaultPort) +
         "; 0 picks a free one)\n"
         "  --token T          the one bearer token accepted (default " +
         std::string(kDefaultToken) +
         ")\n"
         "  --projects N       projects in the account, 1 to " +
         std::to_string(catalogueSize()) + " (default " + std::to_string(kDefaultProjects) +
         ")\n"
         "  --now TIME         pin the service's clock, e.g. 2026-03-10T12:00:00Z\n"
         "  --threads N        worker threads per listening address (default 128)\n"
         "\n"
         "Hand-over:\n"
         "  --ready-file PATH  once listening, write the session document to PATH\n"
         "                     (atomically; removed again on stop)\n"
         "  --print-session    print the session document for --port and exit without\n"
         "                     serving: vantorix-demo-service --print-session | keyferry save\n"
         "\n"
         "Faults (for benchmarks and fault tests):\n"
         "  --latency-ms N     answer each request N ms after it arrives, not sooner\n"
         "  --jitter-ms N      wait up to N ms more, pseudo-random\n"
         "  --error-rate R     answer status 500 to a share R (0 to 1) of requests\n"
         "  --seed N           seed of the pseudo-random choices (default 1)\n"
         "  --status CODE:RE   answer CODE to requests whose path and query match RE\n"
         "                     (ECMAScript regular expression; repeatable; first match wins)\n"
         "  --fault KIND:RE    answer matching requests wrongly (repeatable): malformed\n"
         "                     (200, JSON cut off), oversize (200, 17 MiB body), redirect\n"
         "                     (302 to the same target on 127.0.0.1), hang (no answer\n"
         "                     until --stall-ms passes or the service stops), reset (the\n"
         "                     connection is reset once the request is read)\n"
         "  --stall RE         send half the body of matching answers, then stall (repeatable)\n"
         "  --stall-ms N       finish a stalled body after N ms (default 0: never; the\n"
         "                     connection ends when the client leaves or the service stops)\n"
         "  --drip RE          send the body of matching answers a byte at a time (repeatable)\n"
         "  --drip-ms N        pause N ms before each dripped byte (default 2000: under one\n"
         "                     byte a second, yet never 15 s without one)\n"
         "\n"
         "Demo-only endpoints (no token needed): GET /demo/push-tokens lists the reported\n"
         "push tokens; GET /demo/requests counts the requests served by path, with the\n"
         "period of an analytics query (paths), and the most in flight at once on each\n"
         "(peaks).\n"
         "  -h, --help         show this text\n";
}

}  // namespace vx::demo
