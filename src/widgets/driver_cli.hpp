#pragma once

// The program's command line: the command, the request it makes and what the host declares.
// Include only from .cpp files: it pulls in nlohmann/json.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/clock.hpp"
#include "widgets/driver_request.hpp"

namespace vx::widgets::driver {

// One run of the program as its command line asks for it.
struct Invocation {
  enum class Command { help, kinds, placeholder, preview, timeline, projects, render, serve };

  Command command = Command::help;
  // What a one-shot command asks (everything but help and serve). A render of an entry handed
  // back reads it from `entryFile` ("-" for standard input) when it runs.
  Request request;
  std::optional<std::string> entryFile;

  // What the host declares about itself, and the pinned process clock.
  int platformVersion = 26;
  std::optional<std::vector<std::uint8_t>> pushToken;
  std::optional<Time> now;
};

// The invocation, or what is wrong with the command line.
struct ParsedInvocation {
  std::optional<Invocation> invocation;
  std::string error;
};
[[nodiscard]] ParsedInvocation parseInvocation(std::span<const std::string> arguments);

[[nodiscard]] std::string usage();

// Runs a one-shot command: its JSON answer on standard output, or what went wrong on standard
// error. Answers the exit status.
[[nodiscard]] int runCommand(const Invocation& invocation);

}  // namespace vx::widgets::driver
