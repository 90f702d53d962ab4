#pragma once

// The demo service's settings and its command line.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <regex>
#include <span>
#include <string>
#include <vector>

#include "model/clock.hpp"

namespace vx::demo {

inline constexpr int kDefaultPort = 47831;
inline constexpr const char* kDefaultToken = "vx-demo-7c4e9b2a51d8";
inline constexpr std::size_t kDefaultProjects = 4;

// A regular expression together with the text it was written as.
struct Pattern {
  std::string text;
  std::regex regex;

  // Whether the expression matches anywhere in `target`.
  [[nodiscard]] bool finds(const std::string& target) const;
};

// Answers `status` to every request whose target (path and query) the pattern finds.
struct StatusRule {
  int status = 500;
  Pattern pattern;
};

// Answers that go wrong in other ways than their status.
enum class AnswerFault {
  malformed,  // 200 with a body cut off in the middle of its JSON
  oversize,   // 200 with a body of 17 MiB
  redirect,   // 302 to the same target on another host (127.0.0.1 instead of localhost)
  hang,       // nothing at all, not even the head, until --stall-ms passes or the stop
  reset,      // the connection is reset (TCP RST) as soon as the request has been read
};

struct AnswerFaultRule {
  AnswerFault fault = AnswerFault::malformed;
  Pattern pattern;
};

struct FaultOptions {
  int latencyMs = 0;       // added to every answer
  int jitterMs = 0;        // up to this much more, pseudo-random
  double errorRate = 0;    // share of requests answered with status 500
  std::uint64_t seed = 1;  // seed of the pseudo-random choices
  std::vector<StatusRule> statuses;
  std::vector<Pattern> stalls;  // answers whose body stops half-way
  std::vector<AnswerFaultRule> answerFaults;
  int stallMs = 0;  // how long a stalled body waits; 0: until the client leaves or the stop
  std::vector<Pattern> drips;  // answers whose body trickles out a byte at a time
  int dripMs = 2000;           // the pause before each byte of a dripping body
};

struct ServiceOptions {
  int port = kDefaultPort;  // 0: any free port
  std::string token = kDefaultToken;
  std::size_t projects = kDefaultProjects;
  int threads = 128;
  FaultOptions faults;
};

struct ProgramOptions {
  ServiceOptions service;
  std::optional<Time> now;  // pins the service's clock
  bool printSession = false;
  std::optional<std::string> readyFile;
  bool help = false;
};

struct ParsedOptions {
  std::optional<ProgramOptions> options;
  std::string error;  // set when options is absent
};

// Reads the arguments after the program name.
[[nodiscard]] ParsedOptions parseOptions(std::span<const std::string> args);
[[nodiscard]] std::string usage();

}  // namespace vx::demo
