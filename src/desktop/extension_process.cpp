#include "desktop/extension_process.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vx::desktop {
namespace {

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

int decodeStatus(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return -WTERMSIG(raw);
  return -1;
}

}  // namespace

ExtensionProcess::ExtensionProcess(const std::string& program,
                                   const std::vector<std::string>& arguments) {
  int toChild[2];
  int fromChild[2];
  if (::pipe2(toChild, O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe");
  if (::pipe2(fromChild, O_CLOEXEC) != 0) {
    ::close(toChild[0]);
    ::close(toChild[1]);
    throw std::runtime_error("cannot make a pipe");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  // The child starts with default signal handling, whatever the host ignores.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const int failed =
      ::posix_spawn(&pid_, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  ::close(toChild[0]);
  ::close(fromChild[1]);
  if (failed != 0) {
    ::close(toChild[1]);
    ::close(fromChild[0]);
    throw std::runtime_error("cannot start " + program + ": " + std::strerror(failed));
  }
  input_ = toChild[1];
  output_ = fromChild[0];
  ::fcntl(input_, F_SETFL, O_NONBLOCK);
  ::fcntl(output_, F_SETFL, O_NONBLOCK);
}

ExtensionProcess::~ExtensionProcess() {
  closeFd(input_);
  closeFd(output_);
  if (!status_ && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    (void)wait();
  }
}

void ExtensionProcess::send(const std::string& line) {
  if (input_ < 0) return;
  pending_ += line;
  pending_ += '\n';
  (void)flush();
}

bool ExtensionProcess::flush() {
  while (input_ >= 0 && !pending_.empty()) {
    const ssize_t written = ::write(input_, pending_.data(), pending_.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return true;
      closeFd(input_);
      pending_.clear();
      return false;
    }
    pending_.erase(0, static_cast<std::size_t>(written));
  }
  if (pending_.empty() && closeWhenFlushed_) closeFd(input_);
  return input_ >= 0 || closeWhenFlushed_;
}

void ExtensionProcess::closeInput() {
  closeWhenFlushed_ = true;
  (void)flush();
}

std::vector<std::string> ExtensionProcess::readLines() {
  std::vector<std::string> lines;
  char buffer[65536];
  while (output_ >= 0) {
    const ssize_t got = ::read(output_, buffer, sizeof buffer);
    if (got > 0) {
      partial_.append(buffer, static_cast<std::size_t>(got));
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    closeFd(output_);  // end of output or a broken pipe
  }
  std::size_t start = 0;
  for (std::size_t end; (end = partial_.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(partial_.substr(start, end - start));
  }
  partial_.erase(0, start);
  // The end of output also ends a last line without its newline.
  if (output_ < 0 && !partial_.empty()) lines.push_back(std::exchange(partial_, {}));
  return lines;
}

std::optional<int> ExtensionProcess::poll() {
  if (status_) return status_;
  int raw = 0;
  const pid_t done = ::waitpid(pid_, &raw, WNOHANG);
  if (done == pid_) status_ = decodeStatus(raw);
  return status_;
}

int ExtensionProcess::wait() {
  if (status_) return *status_;
  int raw = 0;
  while (::waitpid(pid_, &raw, 0) < 0) {
    if (errno != EINTR) return *(status_ = -1);
  }
  return *(status_ = decodeStatus(raw));
}

void ExtensionProcess::stop() {
  if (!status_ && pid_ > 0) ::kill(pid_, SIGKILL);
  closeFd(input_);
  closeFd(output_);
  pending_.clear();
}

ExtensionRun runExtension(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& input) {
  ExtensionProcess process(program, arguments);
  if (!input.empty()) {
    std::string body = input;
    if (body.back() == '\n') body.pop_back();
    process.send(body);
  }
  process.closeInput();
  ExtensionRun run;
  while (!process.outputEnded() || process.hasPendingInput()) {
    pollfd fds[2];
    nfds_t count = 0;
    if (!process.outputEnded()) fds[count++] = {process.outputFd(), POLLIN, 0};
    if (process.hasPendingInput() && process.inputFd() >= 0) {
      fds[count++] = {process.inputFd(), POLLOUT, 0};
    }
    if (count == 0) break;
    if (::poll(fds, count, -1) < 0 && errno != EINTR) break;
    if (!process.flush()) {
      // The child stopped reading: what it says is all there is.
    }
    for (std::string& line : process.readLines()) run.output += line + "\n";
  }
  run.status = process.wait();
  return run;
}

}  // namespace vx::desktop
