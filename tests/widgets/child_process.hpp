#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace vx::testing {

// A program run as a child process with pipes on its three standard streams, for talking to it
// line by line. The destructor kills a child that is still running.
class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const std::map<std::string, std::string>& environment);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  void write(const std::string& bytes);
  void closeInput();

  // The next line of standard output without its line end; nothing at end of output or when
  // none came within `patience` (a guard against a hung test, not a timing claim).
  [[nodiscard]] std::optional<std::string> readLine(
      std::chrono::milliseconds patience = std::chrono::seconds(60));

  // Waits for the end; the exit status, or minus the signal that ended it. Whatever is left of
  // standard output is collected first (see `remainingOutput`).
  [[nodiscard]] int wait();
  [[nodiscard]] const std::string& remainingOutput() const { return buffered_; }
  [[nodiscard]] std::string error();

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  int error_ = -1;
  std::string buffered_;
  std::string errorText_;
  std::optional<int> status_;
};

struct RunResult {
  int status = -1;
  std::string output;
  std::string error;
};

// Runs a program to its end with `input` on standard input.
[[nodiscard]] RunResult run(const std::string& program, const std::vector<std::string>& arguments,
                            const std::map<std::string, std::string>& environment,
                            const std::string& input = {});

}  // namespace vx::testing
