#include "host/host_client.hpp"

#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "host/host_messages.hpp"
#include "host/host_socket.hpp"

namespace vx::host {
namespace {

// How long a message that could not go out at once may still try to reach a busy host.
constexpr auto kDeliveryWindow = std::chrono::seconds(1);
// Longest settings answer read; anything longer is not an answer of ours.
constexpr std::size_t kAnswerLimit = 4096;

// Runs `work` on a thread of its own that nobody waits for. False when no thread could be
// started (the work has not run then). An exception has nowhere to go on such a thread and
// would end the whole process, so it ends only the work.
template <typename Work>
bool runDetached(Work&& work) {
  try {
    std::thread([work = std::forward<Work>(work)]() mutable {
      try {
        work();
      } catch (...) {
      }
    }).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

// Hands `line` to the host without waiting. Almost always the connection is made and the line
// taken by the socket right here, so it is delivered even when the caller's process ends
// straight after. Only a busy host or a full socket moves the rest to a background thread.
void post(std::string line) {
  std::optional<std::string> host = widgetHostSocketPath();
  HostConnection connection = HostConnection::tryConnect(host);
  if (connection.state() == HostConnection::State::unreachable) return;
  if (connection.state() == HostConnection::State::connected) {
    const auto sent = connection.sendNow(line);
    if (!sent || *sent == line.size()) return;
    line.erase(0, *sent);
  }
  runDetached([connection = std::move(connection), host = std::move(host),
               line = std::move(line)]() mutable {
    const Deadline deadline = std::chrono::steady_clock::now() + kDeliveryWindow;
    if (connection.state() == HostConnection::State::busy) {
      connection = HostConnection::connect(host, deadline);
    }
    (void)connection.sendAll(line, deadline);
  });
}

std::optional<std::int64_t> askSettings(const std::optional<std::string>& host,
                                        const std::string& query) {
  const Deadline deadline = std::chrono::steady_clock::now() + kSettingsAnswerWindow;
  HostConnection connection = HostConnection::connect(host, deadline);
  if (!connection.sendAll(query, deadline)) return std::nullopt;
  const auto answer = connection.readLine(deadline, kAnswerLimit);
  if (!answer) return std::nullopt;
  return messages::authorizationStatus(*answer);
}

}  // namespace

void reloadAllTimelines(std::string_view app) {
  post(messages::reloadAllTimelines(app));
}

void requestAuthorization(std::string_view app, int options) {
  post(messages::requestAuthorization(app, options));
}

void notificationSettings(std::string_view app, SettingsCompletion completion) {
  auto query = messages::notificationSettings(app);
  // Shared with the thread so that, should it fail to start, the completion still runs here
  // with no answer.
  auto completes = std::make_shared<SettingsCompletion>(std::move(completion));
  const bool started =
      runDetached([completes, host = widgetHostSocketPath(), query = std::move(query)] {
        (*completes)(askSettings(host, query));
      });
  if (!started) (*completes)(std::nullopt);
}

}  // namespace vx::host
