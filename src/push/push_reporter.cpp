#include "push/push_reporter.hpp"

#include "host/host_platform.hpp"
#include "push/push_requests.hpp"
#include "push/push_values.hpp"
#include "store/shared_store.hpp"

namespace vx::push {
namespace {

// The first platform version whose widgets receive pushes.
constexpr int kPushPlatformVersion = 26;

}  // namespace

PushReporter& PushReporter::shared() {
  static PushReporter reporter;
  return reporter;
}

void PushReporter::tokenChanged(const std::string& token, std::size_t widgetCount) {
  std::lock_guard lock(mutex_);
  // 1. What was recorded before.
  auto stored = SharedStore::pushRegistration();
  // 2. No widget uses push any more: forget the token here first, then at the service. A
  //    withdrawal that fails is not retried, as nothing is left here to retry it from.
  if (widgetCount == 0) {
    SharedStore::savePushRegistration(std::nullopt);
    if (!stored) return;
    if (auto session = SharedStore::session()) {
      [[maybe_unused]] bool withdrawn = send(Remove{stored->token}, *session);
    }
    return;
  }
  // 3. A new or changed token starts out unreported; then report it.
  if (!stored || stored->token != token) {
    SharedStore::savePushRegistration(SharedStore::PushRegistration{token, std::nullopt});
  }
  reportIfNeededLocked();
}

void PushReporter::reportIfNeeded() {
  std::lock_guard lock(mutex_);
  reportIfNeededLocked();
}

void PushReporter::reportIfNeededLocked() {
  // 1. Widgets on older platforms get no pushes.
  if (!host::platform::isAtLeast(kPushPlatformVersion)) return;
  // 2. Nothing can be reported without a signed-in session.
  auto session = SharedStore::session();
  if (!session) return;
  // 3. What was recorded before.
  auto stored = SharedStore::pushRegistration();
  // 4. No record: report whatever token the host holds now, recording it only once reported.
  if (!stored) {
    auto current = host::platform::currentPushToken();
    if (!current) return;
    auto token = hex(*current);
    auto sessionFingerprint = fingerprint(session->token);
    if (send(Report{token}, *session)) {
      SharedStore::savePushRegistration(SharedStore::PushRegistration{token, sessionFingerprint});
    }
    return;
  }
  // 5. A record: report its token unless that was done under this very session.
  auto sessionFingerprint = fingerprint(session->token);
  if (stored->reportedWith == sessionFingerprint) return;
  if (send(Report{stored->token}, *session)) {
    SharedStore::savePushRegistration(
        SharedStore::PushRegistration{stored->token, sessionFingerprint});
  }
}

}  // namespace vx::push
