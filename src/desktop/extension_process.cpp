#include "desktop/extension_process.hpp"

#include <cerrno>
#include <csignal>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/pipe.hpp"

extern char** environ;

namespace vx::desktop {
namespace {

int decodeStatus(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return -WTERMSIG(raw);
  return -1;
}

// How the child starts: standard input and output from the pipe ends given, standard error
// discarded, and default signal handling whatever the host ignores (SIGPIPE).
class SpawnSetup {
 public:
  SpawnSetup(int input, int output) {
    posix_spawn_file_actions_init(&actions_);
    posix_spawn_file_actions_adddup2(&actions_, input, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions_, output, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions_, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_init(&attributes_);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes_, &defaults);
    posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGDEF);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  // The child's process id. Throws `std::system_error` when it cannot be started.
  pid_t spawn(const std::string& program, const std::vector<std::string>& arguments) const {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
      argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int failed =
        ::posix_spawn(&pid, program.c_str(), &actions_, &attributes_, argv.data(), environ);
    if (failed != 0) {
      throw std::system_error(failed, std::generic_category(), "cannot start " + program);
    }
    return pid;
  }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

}  // namespace

ExtensionProcess::ExtensionProcess(const std::string& program,
                                   const std::vector<std::string>& arguments) {
  base::Pipe toChild = base::Pipe::open();
  base::Pipe fromChild = base::Pipe::open();
  pid_ = SpawnSetup(toChild.readEnd.get(), fromChild.writeEnd.get()).spawn(program, arguments);
  // The child's ends close as the pipes go: the child holds its own copies.
  input_ = std::move(toChild.writeEnd);
  output_ = std::move(fromChild.readEnd);
  ::fcntl(input_.get(), F_SETFL, O_NONBLOCK);
  ::fcntl(output_.get(), F_SETFL, O_NONBLOCK);
}

ExtensionProcess::~ExtensionProcess() {
  input_ = {};
  output_ = {};
  if (!status_ && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    (void)wait();
  }
}

void ExtensionProcess::send(const std::string& line) {
  if (!input_.valid()) return;
  pending_ += line;
  pending_ += '\n';
  (void)flush();
}

bool ExtensionProcess::flush() {
  while (input_.valid() && !pending_.empty()) {
    const ssize_t written = ::write(input_.get(), pending_.data(), pending_.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return true;
      input_ = {};
      pending_.clear();
      return false;
    }
    pending_.erase(0, static_cast<std::size_t>(written));
  }
  if (pending_.empty() && closeWhenFlushed_) input_ = {};
  return input_.valid() || closeWhenFlushed_;
}

void ExtensionProcess::closeInput() {
  closeWhenFlushed_ = true;
  (void)flush();
}

std::vector<std::string> ExtensionProcess::readLines() {
  std::vector<std::string> lines;
  char buffer[65536];
  while (output_.valid()) {
    const ssize_t got = ::read(output_.get(), buffer, sizeof buffer);
    if (got > 0) {
      partial_.append(buffer, static_cast<std::size_t>(got));
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    output_ = {};  // end of output or a broken pipe
  }
  std::size_t start = 0;
  for (std::size_t end; (end = partial_.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(partial_.substr(start, end - start));
  }
  partial_.erase(0, start);
  // The end of output also ends a last line without its newline.
  if (!output_.valid() && !partial_.empty()) lines.push_back(std::exchange(partial_, {}));
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
  input_ = {};
  output_ = {};
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
