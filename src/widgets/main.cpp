// vantorix-widgets: the widget extension's entry point. The widget host runs it to learn the
// widget kinds and to ask for placeholders, previews and timelines (see --help).

#include <malloc.h>

#include <iostream>
#include <string>
#include <vector>

#include "host/host_platform.hpp"
#include "model/clock.hpp"
#include "widgets/driver_cli.hpp"
#include "widgets/driver_output.hpp"
#include "widgets/driver_serve.hpp"
#include "widgets/end_if_replaced.hpp"

namespace {

constexpr const char* kName = "vantorix-widgets";

}  // namespace

int main(int argc, char** argv) {
  using vx::widgets::driver::Invocation;

  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const auto parsed = vx::widgets::driver::parseInvocation(arguments);
  if (!parsed.invocation) {
    std::cerr << kName << ": " << parsed.error << "\n\n" << vx::widgets::driver::usage();
    return 2;
  }
  const Invocation& invocation = *parsed.invocation;
  if (invocation.command == Invocation::Command::help) {
    std::cout << vx::widgets::driver::usage();
    return 0;
  }

  vx::host::platform::setVersion(invocation.platformVersion);
  vx::host::platform::setCurrentPushToken(invocation.pushToken);
  if (invocation.now) vx::clock::pin(*invocation.now);
  vx::widgets::setEndingHook(&vx::widgets::driver::holdOutput);

  if (invocation.command == Invocation::Command::serve) {
    // Each thread that allocates would otherwise get an arena of its own, and memory freed in
    // one is never reused by another: with a dozen workers that alone keeps megabytes dirty.
    // Requests spend their time waiting for the network or drawing one at a time, so one
    // arena sees little contention, and what one request frees the next one reuses (at 1,500
    // waiting items a burst's peak is some 0.4 MiB lower than with two).
    mallopt(M_ARENA_MAX, 1);
    // Large blocks (answer lines, snapshot texts, drawing buffers) are mapped apart and given
    // back when freed. Left to adjust itself, malloc raises this threshold after the first such
    // block is freed, and later ones stay in the heap, dirty, after their request is done.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    // A long-lived process compares later bundles on disk with the one it started from.
    (void)vx::widgets::launchedVersion();
    return vx::widgets::driver::serve();
  }
  return vx::widgets::driver::runCommand(invocation);
}
