#include "child_process.hpp"

#include <cerrno>
#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vx::testing {
namespace {

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (auto& text : texts) result.push_back(text.data());
  result.push_back(nullptr);
  return result;
}

void makePipe(int ends[2]) {
  if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
}

// Appends what one read gives; false at end of stream.
bool readSome(int fd, std::string& sink) {
  char buffer[65536];
  while (true) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count > 0) {
      sink.append(buffer, static_cast<std::size_t>(count));
      return true;
    }
    if (count < 0 && errno == EINTR) continue;
    return false;
  }
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& environment) {
  std::signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> envp;
  for (const auto& [name, value] : environment) envp.push_back(name + "=" + value);
  auto argvPointers = pointers(argv);
  auto envpPointers = pointers(envp);

  int in[2], out[2], err[2];
  makePipe(in);
  makePipe(out);
  makePipe(err);
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    ::dup2(in[0], STDIN_FILENO);
    ::dup2(out[1], STDOUT_FILENO);
    ::dup2(err[1], STDERR_FILENO);
    ::signal(SIGPIPE, SIG_DFL);
    ::execve(program.c_str(), argvPointers.data(), envpPointers.data());
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  input_ = in[1];
  output_ = out[0];
  error_ = err[0];
}

ChildProcess::~ChildProcess() {
  if (!status_ && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    int ignored = 0;
    ::waitpid(pid_, &ignored, 0);
  }
  for (int fd : {input_, output_, error_}) {
    if (fd >= 0) ::close(fd);
  }
}

void ChildProcess::write(const std::string& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = ::write(input_, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) throw std::runtime_error("the program stopped reading");
    written += static_cast<std::size_t>(count);
  }
}

void ChildProcess::closeInput() {
  if (input_ >= 0) ::close(input_);
  input_ = -1;
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (true) {
    if (const auto end = buffered_.find('\n'); end != std::string::npos) {
      std::string line = buffered_.substr(0, end);
      buffered_.erase(0, end + 1);
      return line;
    }
    if (output_ < 0) return std::nullopt;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd fd{output_, POLLIN, 0};
    const int ready = ::poll(&fd, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    if (!readSome(output_, buffered_)) {
      ::close(output_);
      output_ = -1;
    }
  }
}

int ChildProcess::wait() {
  if (status_) return *status_;
  closeInput();
  // Drain both outputs so that the program never blocks on a full pipe.
  while (output_ >= 0 || error_ >= 0) {
    pollfd fds[2] = {{output_, POLLIN, 0}, {error_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    int* fdsOwned[2] = {&output_, &error_};
    std::string* sinks[2] = {&buffered_, &errorText_};
    for (int i = 0; i < 2; ++i) {
      if (*fdsOwned[i] < 0 || fds[i].revents == 0) continue;
      if (!readSome(*fdsOwned[i], *sinks[i])) {
        ::close(*fdsOwned[i]);
        *fdsOwned[i] = -1;
      }
    }
  }
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  return *status_;
}

std::string ChildProcess::error() {
  return errorText_;
}

RunResult run(const std::string& program, const std::vector<std::string>& arguments,
              const std::map<std::string, std::string>& environment, const std::string& input) {
  ChildProcess child(program, arguments, environment);
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

}  // namespace vx::testing
