#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/clock.hpp"

namespace vx::widgets::driver {

// One run of the program as its command line asks for it.
struct Invocation {
  enum class Command { help, kinds, placeholder, preview, timeline, projects, render, serve };

  Command command = Command::help;
  // The widget kind's identifier (placeholder, preview, timeline).
  std::optional<std::string> kind;

  // The widget's configuration (preview, timeline), as given.
  std::optional<std::string> project;
  std::optional<std::string> period;
  std::optional<bool> showDetails;

  // Drawing an entry (render): the family, the host's appearance and the image, as given.
  std::optional<std::string> family;
  std::optional<std::string> scheme;
  std::optional<std::string> mode;
  std::optional<std::string> tint;
  std::optional<std::string> format;
  std::optional<double> scale;
  std::optional<std::string> out;
  // Which entry: a file ("-" for standard input), or else the first of a fresh timeline, a
  // preview or the placeholder.
  std::optional<std::string> entry;
  bool preview = false;
  bool placeholder = false;

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

// Runs a one-shot command (everything but help and serve): its JSON answer on standard output.
// Answers the exit status.
[[nodiscard]] int runCommand(const Invocation& invocation);

}  // namespace vx::widgets::driver
