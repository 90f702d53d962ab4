#include "process.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vx::testing {
namespace {

struct Pipe {
  int read = -1;
  int write = -1;
};

Pipe makePipe() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  return {ends[0], ends[1]};
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (auto& text : texts) result.push_back(text.data());
  result.push_back(nullptr);
  return result;
}

// Feeds the input and drains both outputs together, so that neither side can stall the other.
void exchange(int input, int output, int error, const std::string& bytes, ProcessResult& result) {
  std::size_t written = 0;
  if (bytes.empty()) {
    ::close(input);
    input = -1;
  }
  while (input >= 0 || output >= 0 || error >= 0) {
    pollfd fds[3] = {{input, POLLOUT, 0}, {output, POLLIN, 0}, {error, POLLIN, 0}};
    if (::poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("poll failed");
    }
    if (input >= 0 && fds[0].revents != 0) {
      ssize_t count = ::write(input, bytes.data() + written, bytes.size() - written);
      if (count > 0) written += static_cast<std::size_t>(count);
      if (count < 0 || written == bytes.size()) {  // done, or the program stopped reading
        ::close(input);
        input = -1;
      }
    }
    int* readers[2] = {&output, &error};
    std::string* sinks[2] = {&result.output, &result.error};
    for (int i = 0; i < 2; ++i) {
      if (*readers[i] < 0 || fds[i + 1].revents == 0) continue;
      char buffer[65536];
      ssize_t count = ::read(*readers[i], buffer, sizeof buffer);
      if (count > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(count));
      } else {
        ::close(*readers[i]);
        *readers[i] = -1;
      }
    }
  }
}

}  // namespace

ProcessResult runProcess(const std::string& program, const ProcessOptions& options) {
  // A program that exits without reading its input must not take the test down with SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);

  std::vector<std::string> arguments{program};
  arguments.insert(arguments.end(), options.arguments.begin(), options.arguments.end());
  std::vector<std::string> environment;
  for (const auto& [name, value] : options.environment) environment.push_back(name + "=" + value);
  auto argv = pointers(arguments);
  auto envp = pointers(environment);

  Pipe input = makePipe(), output = makePipe(), error = makePipe();
  pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    // Only async-signal-safe calls from here to exec.
    ::dup2(input.read, STDIN_FILENO);
    ::dup2(output.write, STDOUT_FILENO);
    ::dup2(error.write, STDERR_FILENO);
    ::signal(SIGPIPE, SIG_DFL);
    if (options.fileSizeLimit) {
      // Writing past the cap then fails with EFBIG instead of killing the program.
      ::signal(SIGXFSZ, SIG_IGN);
      rlimit limit{*options.fileSizeLimit, *options.fileSizeLimit};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (options.user && ::geteuid() == 0 &&
        (::setgid(*options.user) != 0 || ::setuid(*options.user) != 0)) {
      ::_exit(126);
    }
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(input.read);
  ::close(output.write);
  ::close(error.write);

  ProcessResult result;
  exchange(input.write, output.read, error.read, options.input, result);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  return result;
}

}  // namespace vx::testing
