#pragma once

// Programs run as child processes, for the tests of the command-line and socket contracts, and
// checks run in a forked copy of the test.

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/types.h>

namespace vx::testing {

using Environment = std::map<std::string, std::string>;

struct ProcessOptions {
  std::vector<std::string> arguments{};              // after the program name
  std::optional<Environment> environment{};          // the whole environment; nothing: this one's
  std::optional<std::filesystem::path> inputFile{};  // standard input from a file, not a pipe
  std::optional<rlim_t> fileSizeLimit{};             // caps the files the program may write
  std::optional<uid_t> user{};                       // runs as this user (and group) when root
  bool endsWithThread = false;  // SIGTERM when the thread that started it ends (or the test dies)
};

// A program run as a child process with pipes on its standard streams, for talking to it line
// by line. The destructor kills a child that is still running.
class ChildProcess {
 public:
  ChildProcess(const std::string& program, const ProcessOptions& options);
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const Environment& environment);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Throws std::runtime_error when the program stopped reading.
  void write(const std::string& bytes);
  void closeInput();

  // The next line of standard output without its line end; nothing at end of output or when
  // none came within `patience` (a guard against a hung test, not a timing claim).
  [[nodiscard]] std::optional<std::string> readLine(
      std::chrono::milliseconds patience = std::chrono::seconds(60));

  [[nodiscard]] pid_t pid() const { return pid_; }

  // Whether the program has ended (without waiting for it).
  [[nodiscard]] bool ended();

  // Waits for the end: the exit status, or minus the signal that ended it. Both outputs are
  // collected meanwhile (see `remainingOutput` and `error`), so the program never blocks on them.
  [[nodiscard]] int wait();

  // The same, but a program still running after `patience` is killed.
  [[nodiscard]] int wait(std::chrono::milliseconds patience);

  // Sends `signal` and waits for the end; a program still running after `patience` is killed.
  int stop(int signal, std::chrono::milliseconds patience = std::chrono::seconds(10));

  [[nodiscard]] const std::string& remainingOutput() const { return output_; }
  [[nodiscard]] const std::string& error() const { return error_; }

 private:
  // Reads what is there on both outputs, waiting up to `timeout` milliseconds (-1: for ever)
  // for something to read.
  void collect(int timeout);
  // Takes the program's status from waitpid with `flags`; true once there is one.
  bool reaped(int flags);
  // Waits for the end, collecting both outputs, then what is left of them.
  void awaitEnd();

  pid_t pid_ = -1;
  int input_ = -1;
  int outputPipe_ = -1;
  int errorPipe_ = -1;
  std::string output_;
  std::string error_;
  std::optional<int> status_;
};

struct RunResult {
  int status = -1;  // exit status, or minus the signal that ended the program
  std::string output;
  std::string error;
};

// Runs a program to its end with `input` on standard input (when it has no input file).
[[nodiscard]] RunResult run(const std::string& program, const ProcessOptions& options,
                            const std::string& input = {});
[[nodiscard]] RunResult run(const std::string& program, const std::vector<std::string>& arguments,
                            const Environment& environment, const std::string& input = {});

// Runs `check` in a forked copy of this process (as `user` when this one is root) and gives its
// answer. A check that crashed, or has not answered after `seconds` (one that blocks for good),
// counts as false.
[[nodiscard]] bool answersInChild(const std::function<bool()>& check, unsigned seconds = 30,
                                  std::optional<uid_t> user = std::nullopt);

// Polls `check` until it holds or `patience` has passed; the bound only stops a hung test.
template <class Check>
bool eventually(Check check, std::chrono::milliseconds patience = std::chrono::seconds(60)) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (std::chrono::steady_clock::now() < deadline) {
    if (check()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return check();
}

}  // namespace vx::testing
