#pragma once

#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

#include "base/file_descriptor.hpp"

namespace vx::desktop {

// The extension program run as a child process, spoken to line by line over its standard input
// and output (its standard error is discarded). Both pipes are non-blocking on this side, so a
// stuck extension never stops the host: lines to it wait in a buffer until the pipe takes them.
// Move-less; the destructor kills and reaps a child that is still running.
class ExtensionProcess {
 public:
  // Starts `program` with `arguments`. Throws `std::system_error` when it cannot be started.
  ExtensionProcess(const std::string& program, const std::vector<std::string>& arguments);
  ~ExtensionProcess();
  ExtensionProcess(const ExtensionProcess&) = delete;
  ExtensionProcess& operator=(const ExtensionProcess&) = delete;

  [[nodiscard]] pid_t pid() const { return pid_; }
  [[nodiscard]] int inputFd() const { return input_.get(); }    // -1 once closed
  [[nodiscard]] int outputFd() const { return output_.get(); }  // -1 at end of output

  // Queues one line (a newline is added) and writes what the pipe takes now.
  void send(const std::string& line);
  // Writes more of the queued lines; false when the child no longer reads (its input closed).
  bool flush();
  [[nodiscard]] bool hasPendingInput() const { return !pending_.empty(); }
  // Closes standard input once the queue is written: the child's signal to finish.
  void closeInput();

  // Every complete line that has arrived. Sets the end of output when the child closed it.
  [[nodiscard]] std::vector<std::string> readLines();
  [[nodiscard]] bool outputEnded() const { return !output_.valid(); }

  // The exit status (or minus the ending signal) once the child has ended; does not wait.
  [[nodiscard]] std::optional<int> poll();
  // Waits for the end; the exit status, or minus the signal.
  int wait();
  // Kills the child and closes both pipes (its end then shows as the end of output).
  void stop();

 private:
  pid_t pid_ = -1;
  base::FileDescriptor input_;
  base::FileDescriptor output_;
  std::string pending_;
  bool closeWhenFlushed_ = false;
  std::string partial_;
  std::optional<int> status_;
};

// Runs the extension to its end with `input` on standard input: its exit status and standard
// output. Throws `std::system_error` when it cannot be started.
struct ExtensionRun {
  int status = -1;
  std::string output;
};
[[nodiscard]] ExtensionRun runExtension(const std::string& program,
                                        const std::vector<std::string>& arguments,
                                        const std::string& input = {});

}  // namespace vx::desktop
