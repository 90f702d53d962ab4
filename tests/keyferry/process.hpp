#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/types.h>

namespace vx::testing {

struct ProcessResult {
  int status = -1;  // exit status, or minus the signal that ended the process
  std::string output;
  std::string error;
};

struct ProcessOptions {
  std::vector<std::string> arguments;              // after the program name
  std::string input;                               // standard input, then end of file
  std::map<std::string, std::string> environment;  // the whole environment
  std::optional<rlim_t> fileSizeLimit;             // caps the files the program may write
  std::optional<uid_t> user;                       // runs as this user (and group) when root
};

// Runs `program` to its end, feeding its input and collecting both outputs.
[[nodiscard]] ProcessResult runProcess(const std::string& program, const ProcessOptions& options);

}  // namespace vx::testing
