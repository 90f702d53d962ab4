#include "support/process.hpp"

#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vx::testing {
namespace {

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (auto& text : texts) result.push_back(text.data());
  result.push_back(nullptr);
  return result;
}

void closeIfOpen(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// The two ends of a pipe, each closed unless taken.
struct Pipe {
  Pipe() = default;
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  ~Pipe() {
    closeIfOpen(read);
    closeIfOpen(write);
  }
  void open() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    read = ends[0];
    write = ends[1];
  }

  int read = -1;
  int write = -1;
};

// Appends what one read gives; closes `fd` at the end of the stream.
void readSome(int& fd, std::string& sink) {
  char buffer[65536];
  ssize_t count = 0;
  do {
    count = ::read(fd, buffer, sizeof buffer);
  } while (count < 0 && errno == EINTR);
  if (count > 0) {
    sink.append(buffer, static_cast<std::size_t>(count));
  } else {
    closeIfOpen(fd);
  }
}

int statusOf(int waitStatus) {
  return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -WTERMSIG(waitStatus);
}

// The child's side between fork and exec: only async-signal-safe calls.
[[noreturn]] void becomeProgram(const char* program, char* const* argv, char* const* envp,
                                int input, int output, int error, pid_t parent,
                                const ProcessOptions& options) {
  ::dup2(input, STDIN_FILENO);
  ::dup2(output, STDOUT_FILENO);
  ::dup2(error, STDERR_FILENO);
  ::signal(SIGPIPE, SIG_DFL);
  if (options.endsWithThread) {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(1);
  }
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
  ::execve(program, argv, envp);
  ::_exit(127);
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const ProcessOptions& options) {
  // A program that ends without reading its input must not take the test down with SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> arguments{program};
  arguments.insert(arguments.end(), options.arguments.begin(), options.arguments.end());
  std::vector<std::string> variables;
  for (const auto& [name, value] : options.environment.value_or(Environment{})) {
    variables.push_back(name + "=" + value);
  }
  auto argv = pointers(arguments);
  auto envp = pointers(variables);

  Pipe input, output, error;
  if (options.inputFile) {
    input.read = ::open(options.inputFile->c_str(), O_RDONLY | O_CLOEXEC);
    if (input.read < 0) throw std::runtime_error("cannot open " + options.inputFile->string());
  } else {
    input.open();
    // Written a piece at a time, between reads of the outputs (see `write`).
    ::fcntl(input.write, F_SETFL, O_NONBLOCK);
  }
  output.open();
  error.open();
  const pid_t parent = ::getpid();
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    becomeProgram(program.c_str(), argv.data(), options.environment ? envp.data() : environ,
                  input.read, output.write, error.write, parent, options);
  }
  input_ = std::exchange(input.write, -1);
  outputPipe_ = std::exchange(output.read, -1);
  errorPipe_ = std::exchange(error.read, -1);
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const Environment& environment)
    : ChildProcess(program, ProcessOptions{.arguments = arguments, .environment = environment}) {}

ChildProcess::~ChildProcess() {
  if (!status_ && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    int ignored = 0;
    while (::waitpid(pid_, &ignored, 0) < 0 && errno == EINTR) {
    }
  }
  for (int* fd : {&input_, &outputPipe_, &errorPipe_}) closeIfOpen(*fd);
}

void ChildProcess::collect(int timeout) {
  pollfd fds[2] = {{outputPipe_, POLLIN, 0}, {errorPipe_, POLLIN, 0}};
  if (::poll(fds, 2, timeout) <= 0) return;
  if (fds[0].revents != 0) readSome(outputPipe_, output_);
  if (fds[1].revents != 0) readSome(errorPipe_, error_);
}

void ChildProcess::write(const std::string& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    if (input_ < 0) throw std::runtime_error("the program's input is closed");
    pollfd fds[3] = {{input_, POLLOUT, 0}, {outputPipe_, POLLIN, 0}, {errorPipe_, POLLIN, 0}};
    if (::poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("poll failed");
    }
    if (fds[1].revents != 0) readSome(outputPipe_, output_);
    if (fds[2].revents != 0) readSome(errorPipe_, error_);
    if (fds[0].revents == 0) continue;
    const ssize_t count = ::write(input_, bytes.data() + written, bytes.size() - written);
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (count <= 0) throw std::runtime_error("the program stopped reading");
    written += static_cast<std::size_t>(count);
  }
}

void ChildProcess::closeInput() {
  closeIfOpen(input_);
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (true) {
    if (const auto end = output_.find('\n'); end != std::string::npos) {
      std::string line = output_.substr(0, end);
      output_.erase(0, end + 1);
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (outputPipe_ < 0 || left.count() <= 0) return std::nullopt;
    collect(static_cast<int>(left.count()));
  }
}

bool ChildProcess::reaped(int flags) {
  if (status_) return true;
  int status = 0;
  const pid_t done = ::waitpid(pid_, &status, flags);
  if (done == pid_) status_ = statusOf(status);
  // Reaped by someone else (SIGCHLD ignored): its status is lost.
  if (done < 0 && errno == ECHILD) status_ = -1;
  return status_.has_value();
}

bool ChildProcess::ended() {
  return reaped(WNOHANG);
}

void ChildProcess::awaitEnd() {
  // Once both outputs have ended, only the end of the program is left to wait for. Until then,
  // in short steps, so that a process it started and left holding them cannot hold this up.
  while (!ended()) {
    if (outputPipe_ < 0 && errorPipe_ < 0) {
      (void)reaped(0);
    } else {
      collect(10);
    }
  }
  // What the program wrote before it ended.
  for (bool more = true; more;) {
    const std::size_t before = output_.size() + error_.size();
    collect(0);
    more = output_.size() + error_.size() > before;
  }
  closeIfOpen(outputPipe_);
  closeIfOpen(errorPipe_);
}

int ChildProcess::wait() {
  closeInput();
  if (outputPipe_ >= 0 || errorPipe_ >= 0 || !status_) awaitEnd();
  return *status_;
}

int ChildProcess::wait(std::chrono::milliseconds patience) {
  closeInput();
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (!ended() && std::chrono::steady_clock::now() < deadline) collect(10);
  if (!ended()) ::kill(pid_, SIGKILL);
  return wait();
}

int ChildProcess::stop(int signal, std::chrono::milliseconds patience) {
  if (!ended()) ::kill(pid_, signal);
  return wait(patience);
}

RunResult run(const std::string& program, const ProcessOptions& options, const std::string& input) {
  ChildProcess child(program, options);
  try {
    child.write(input);
  } catch (const std::runtime_error&) {
    // The program ended without reading all of it; its answer still counts.
  }
  RunResult result;
  result.status = child.wait();
  result.output = child.remainingOutput();
  result.error = child.error();
  return result;
}

RunResult run(const std::string& program, const std::vector<std::string>& arguments,
              const Environment& environment, const std::string& input) {
  return run(program, ProcessOptions{.arguments = arguments, .environment = environment}, input);
}

bool answersInChild(const std::function<bool()>& check, unsigned seconds,
                    std::optional<uid_t> user) {
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    ::alarm(seconds);
    if (user && ::geteuid() == 0 && (::setgid(*user) != 0 || ::setuid(*user) != 0)) ::_exit(2);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace vx::testing
