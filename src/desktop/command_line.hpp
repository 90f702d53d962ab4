#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vx::desktop {

// A usage mistake: the message goes to standard error with the usage, status 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A sub-command's words: the bare ones in order, the "--name value" options by name (without
// "--"), and the flags that take no value.
struct Arguments {
  std::vector<std::string> words;
  std::map<std::string, std::string> options;
  std::vector<std::string> flags;

  // Removes and returns an option.
  [[nodiscard]] std::optional<std::string> take(const std::string& name);
  [[nodiscard]] bool takeFlag(const std::string& name);
};

// `flagNames` are the options that take no value ("--headless"); every other option takes one.
// Throws `UsageError` for an option without its value, a value given to a flag, or an option
// given twice.
[[nodiscard]] Arguments parseArguments(const std::vector<std::string>& words,
                                       const std::vector<std::string>& flagNames);

// Runs the program: the sub-command in argv[1]. Returns the exit status.
int runCommandLine(const std::vector<std::string>& argv);

}  // namespace vx::desktop
