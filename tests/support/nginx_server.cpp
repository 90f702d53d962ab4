#include "support/nginx_server.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/scratch.hpp"

namespace vx::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// `count` distinct ports that were free on 127.0.0.1 a moment ago. Another program may take
// one before nginx binds it; the caller then tries again.
std::vector<int> freePorts(std::size_t count) {
  std::vector<int> sockets;
  std::vector<int> ports;
  for (std::size_t i = 0; i < count; ++i) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      if (fd >= 0) ::close(fd);
      break;
    }
    sockets.push_back(fd);
    ports.push_back(ntohs(address.sin_port));
  }
  for (int fd : sockets) ::close(fd);
  if (ports.size() != count) throw std::runtime_error("nginx: no free loopback port");
  return ports;
}

bool accepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

// What `nginx -V` prints: its version and the options it was built with.
std::string buildInformation(const fs::path& program) {
  const auto answer = run(program.string(), ProcessOptions{.arguments = {"-V"}});
  return answer.output + answer.error;
}

// The temporary-file directives of the modules built into nginx. Each defaults to a system
// folder, which nginx creates at start, so every one of them must point into the scratch
// folder (and naming a module that is not built in is an error).
std::vector<std::string> temporaryPathDirectives(const fs::path& program) {
  static const std::string information = buildInformation(program);
  std::vector<std::string> directives = {"client_body_temp_path", "proxy_temp_path"};
  for (const char* module : {"fastcgi", "uwsgi", "scgi"}) {
    const std::string without = std::string("--without-http_") + module + "_module";
    if (information.find(without) == std::string::npos) {
      directives.push_back(std::string(module) + "_temp_path");
    }
  }
  return directives;
}

std::string quoted(const fs::path& path) {
  return "\"" + path.string() + "\"";
}

// The fields of one access-log line, as written by the "vx" format below.
std::optional<ProxiedRequest> parseLogLine(const std::string& line) {
  std::istringstream in(line);
  std::string port, connection, protocol, alpn, reused, status, authorization, target;
  if (!(in >> port >> connection >> protocol >> alpn >> reused >> status >> authorization >>
        target)) {
    return std::nullopt;
  }
  ProxiedRequest request;
  request.listener = port;  // replaced by the listener's name
  request.connection = std::stoull(connection);
  request.protocol = protocol;
  request.alpn = alpn == "-" ? "" : alpn;
  request.sessionReused = reused == "r";
  request.status = std::stoi(status);
  request.authorization = authorization == "bearer";
  request.target = target;
  return request;
}

}  // namespace

std::optional<fs::path> NginxServer::program() {
  for (const char* candidate : {"/usr/sbin/nginx", "/usr/local/sbin/nginx"}) {
    if (::access(candidate, X_OK) == 0) return fs::path(candidate);
  }
  if (const char* path = std::getenv("PATH")) {
    std::istringstream folders(path);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
      const fs::path candidate = fs::path(folder) / "nginx";
      if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
  }
  return std::nullopt;
}

NginxServer::NginxServer(fs::path scratch, int upstreamPort, std::vector<NginxListener> listeners)
    : scratch_(std::move(scratch)), upstreamPort_(upstreamPort), listeners_(std::move(listeners)) {
  const auto found = program();
  if (!found) throw std::runtime_error("nginx is not installed (scripts/setup.sh installs it)");
  program_ = *found;
  fs::create_directories(scratch_ / "temp");
  for (const auto& listener : listeners_) {
    if (!listener.tls) continue;
    writeFile(scratch_ / (listener.name + ".crt"), listener.tls->certificatePem);
    writeFile(scratch_ / (listener.name + ".key"), listener.tls->keyPem);
    fs::permissions(scratch_ / (listener.name + ".key"), fs::perms::owner_read);
  }
  for (int attempt = 0; attempt < 5; ++attempt) {
    ports_ = freePorts(listeners_.size());
    if (start()) return;
  }
  throw std::runtime_error("nginx: every port tried was taken");
}

NginxServer::~NginxServer() {
  stop();
}

int NginxServer::port(std::string_view listener) const {
  for (std::size_t i = 0; i < listeners_.size(); ++i) {
    if (listeners_[i].name == listener) return ports_[i];
  }
  throw std::out_of_range("nginx: no listener " + std::string(listener));
}

std::string NginxServer::configuration() const {
  std::ostringstream c;
  // As root, nginx would hand the workers to an unprivileged user, who cannot enter the
  // scratch folder; the workers stay with the user who started the test instead.
  if (::geteuid() == 0) c << "user root root;\n";
  c << "worker_processes 1;\n"
    << "pid " << quoted(scratch_ / "nginx.pid") << ";\n"
    << "lock_file " << quoted(scratch_ / "nginx.lock") << ";\n"
    << "error_log " << quoted(scratch_ / "error.log") << " notice;\n"
    << "events { worker_connections 512; }\n"
    << "http {\n";
  for (const std::string& directive : temporaryPathDirectives(program_)) {
    c << "  " << directive << " " << quoted(scratch_ / "temp" / directive) << ";\n";
  }
  c << "  map $http_authorization $vx_authorization { default bearer; \"\" none; }\n"
    << "  log_format vx '$server_port $connection $server_protocol $ssl_alpn_protocol "
       "$ssl_session_reused $status $vx_authorization $request_uri';\n"
    << "  access_log " << quoted(scratch_ / "access.log") << " vx;\n"
    << "  upstream service {\n"
    << "    server 127.0.0.1:" << upstreamPort_ << ";\n"
    << "    keepalive 64;\n"
    << "  }\n";
  for (std::size_t i = 0; i < listeners_.size(); ++i) {
    const NginxListener& listener = listeners_[i];
    c << "  server {\n"
      << "    listen 127.0.0.1:" << ports_[i];
    if (listener.tls) {
      c << " ssl" << (listener.http2 ? " http2" : "") << ";\n"
        << "    ssl_certificate " << quoted(scratch_ / (listener.name + ".crt")) << ";\n"
        << "    ssl_certificate_key " << quoted(scratch_ / (listener.name + ".key")) << ";\n";
      if (listener.outdatedTls) {
        c << "    ssl_protocols TLSv1 TLSv1.1;\n"
          << "    ssl_ciphers DEFAULT@SECLEVEL=0;\n";
      }
    } else {
      c << ";\n";
    }
    c << "    location / {\n"
      << "      proxy_pass http://service;\n"
      << "      proxy_http_version 1.1;\n"
      << "      proxy_set_header Connection \"\";\n"
      << "    }\n"
      << "  }\n";
  }
  c << "}\n";
  return c.str();
}

bool NginxServer::start() {
  const fs::path config = scratch_ / "nginx.conf";
  const fs::path pidFile = scratch_ / "nginx.pid";
  const fs::path errorLog = scratch_ / "error.log";
  writeFile(config, configuration());
  fs::remove(pidFile);
  fs::remove(errorLog);

  // nginx ends when the thread that started it does, even without a clean stop.
  process_.emplace(
      program_.string(),
      ProcessOptions{.arguments = {"-p", scratch_.string() + "/", "-c", config.string(), "-e",
                                   errorLog.string(), "-g", "daemon off;"},
                     .endsWithThread = true});
  process_->closeInput();

  // nginx writes its pid file once every port is bound, and then accepts connections.
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < deadline) {
    if (process_->ended()) {
      (void)process_->wait();
      const std::string log = readFile(errorLog) + process_->remainingOutput() + process_->error();
      process_.reset();
      if (log.find("Address already in use") != std::string::npos) return false;
      throw std::runtime_error("nginx did not start:\n" + log);
    }
    const std::string written = readFile(pidFile);
    if (!written.empty() && std::atoi(written.c_str()) == process_->pid()) {
      bool all = true;
      for (int port : ports_) all = all && accepts(port);
      if (all) return true;
    }
    std::this_thread::sleep_for(5ms);
  }
  stop();
  throw std::runtime_error("nginx did not start within 10 seconds:\n" + readFile(errorLog));
}

void NginxServer::stop() {
  // Fast shutdown: the master ends its workers, then itself.
  if (process_) (void)process_->stop(SIGTERM, 5s);
  process_.reset();
}

std::vector<ProxiedRequest> NginxServer::requests() const {
  std::vector<ProxiedRequest> found;
  std::istringstream log(readFile(scratch_ / "access.log"));
  std::string line;
  while (std::getline(log, line)) {
    auto request = parseLogLine(line);
    if (!request) continue;
    for (std::size_t i = 0; i < listeners_.size(); ++i) {
      if (std::to_string(ports_[i]) == request->listener) request->listener = listeners_[i].name;
    }
    found.push_back(std::move(*request));
  }
  return found;
}

bool NginxServer::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (requests().size() < count) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

}  // namespace vx::testing
