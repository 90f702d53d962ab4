// bench_widgets_serve_render [RUNS]
//
// Warm drawing in a `serve` process, as the host asks for it: against the demo service (ten
// projects) in a temporary shared folder, one timeline per kind, then RUNS renders of the first
// entry of each (handed back as the host does) for every family of every kind, one request at a
// time; the time is from the request line written to its answer read. In the same run, the
// floor: a plain cairo + pango program drawing a comparable picture of the largest family's size
// and encoding it with the best encoder settings. Then encoder settings tried on the largest
// widget's own pixels: file size and time of each.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <png.h>
#include <nlohmann/json.hpp>

#include "../refresh/demo_process.hpp"
#include "png_floor.hpp"
#include "support/process.hpp"
#include "support/scratch.hpp"

namespace {

using Clock = std::chrono::steady_clock;
using nlohmann::json;

double ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

template <class Work>
double medianMs(int runs, Work work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = Clock::now();
    work();
    times.push_back(ms(Clock::now() - t0));
  }
  return median(times);
}

// CPU time a process has used so far (user and system, all threads), from /proc.
double cpuMsOf(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14 || i == 15) ticks += std::stod(field);  // utime, stime
  }
  return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double threadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::exit(1);
}

// One `serve` process, asked one line at a time.
class Serve {
 public:
  explicit Serve(const vx::testing::Environment& env) : process_(VX_WIDGETS_PATH, {"serve"}, env) {}

  [[nodiscard]] pid_t pid() const { return process_.pid(); }

  json ask(json request) {
    request["id"] = ++id_;
    process_.write(request.dump() + "\n");
    const auto line = process_.readLine();
    if (!line) fail("serve ended: " + process_.error());
    json answer = json::parse(*line);
    if (!answer.contains("result")) fail("serve refused: " + *line);
    return answer["result"];
  }

 private:
  vx::testing::ChildProcess process_;
  int id_ = 0;
};

// Where each drawing goes: a file of its own, as the host names a drawing after its entry and
// removes the one it replaced once the new one is in. The extension then never writes over an
// image (which, on a file system that discards freed blocks at once, would make it wait for the
// old image's blocks to be given back).
class Drawings {
 public:
  explicit Drawings(std::filesystem::path folder) : folder_(std::move(folder)) {}

  // `request` with the next drawing's path, the previous drawing removed first.
  json next(json request) {
    if (!last_.empty()) std::filesystem::remove(last_);
    last_ = (folder_ / ("out-" + std::to_string(++count_) + ".png")).string();
    request["out"] = last_;
    return request;
  }
  [[nodiscard]] const std::string& last() const { return last_; }

 private:
  std::filesystem::path folder_;
  std::string last_;
  int count_ = 0;
};

struct Family {
  const char* kind;
  const char* family;
};

constexpr Family kFamilies[] = {
    {"ProjectSummaryWidget", "systemSmall"},   {"ProjectSummaryWidget", "systemMedium"},
    {"AllProjectsWidget", "systemMedium"},     {"AllProjectsWidget", "systemLarge"},
    {"AllProjectsWidget", "systemExtraLarge"}, {"WaitingWidget", "systemSmall"},
    {"WaitingWidget", "systemMedium"},         {"WaitingWidget", "systemLarge"},
};

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  vx::testing::ScratchFolder scratch;
  const vx::bench::DemoProcess demo(scratch.path() / "ready", 0);
  const std::string data = (scratch.path() / "data").string();
  const vx::testing::Environment env = {{"XDG_DATA_HOME", data},
                                        {"HOME", scratch.path().string()},
                                        {"TZ", "UTC"},
                                        {"LANG", "C.UTF-8"}};
  if (vx::testing::run(VX_KEYFERRY_PATH, {"save"}, env, demo.session).status != 0) {
    fail("keyferry save failed");
  }
  Serve serve(env);
  std::printf("%-22s %-18s %10s %10s\n", "kind", "family", "median ms", "bytes");
  std::string largest;
  json largestRequest;
  Drawings drawings(scratch.path());
  for (const Family& f : kFamilies) {
    const json entry = serve.ask({{"op", "timeline"}, {"kind", f.kind}})["entries"][0];
    const json request = {
        {"op", "render"}, {"kind", f.kind}, {"family", f.family}, {"entry", entry}};
    serve.ask(drawings.next(request));  // the first drawing of a family loads what it needs
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
      const json next = drawings.next(request);
      const auto t0 = Clock::now();
      serve.ask(next);
      times.push_back(ms(Clock::now() - t0));
    }
    const double t = median(times);
    const std::string png = vx::testing::readFile(drawings.last());
    std::printf("%-22s %-18s %10.2f %10zu\n", f.kind, f.family, t, png.size());
    if (std::string(f.family) == "systemExtraLarge") {
      largest = png;
      largestRequest = request;
    }
  }

  // The largest widget and the floor taken in turn, so that both see the same load.
  const vx::bench::PngSettings best{false, PNG_FILTER_NONE, 3};
  std::vector<double> widgetMs;
  std::vector<double> floorMs;
  std::vector<double> drawMs;
  std::size_t floorBytes = 0;
  double serveCpuMs = 0;
  double floorCpuMs = 0;
  for (int i = 0; i < runs; ++i) {
    const json next = drawings.next(largestRequest);
    const double serveCpu0 = cpuMsOf(serve.pid());
    auto t0 = Clock::now();
    serve.ask(next);
    widgetMs.push_back(ms(Clock::now() - t0));
    serveCpuMs += cpuMsOf(serve.pid()) - serveCpu0;
    const double floorCpu0 = threadCpuMs();
    t0 = Clock::now();
    const vx::bench::Picture drawn = vx::bench::drawFloorPicture(1496, 764);
    drawMs.push_back(ms(Clock::now() - t0));
    floorBytes = vx::bench::encodePicture(drawn, best).size();
    floorMs.push_back(ms(Clock::now() - t0));
    floorCpuMs += threadCpuMs() - floorCpu0;
  }
  std::printf(
      "in turn: AllProjectsWidget systemExtraLarge %.2f ms; floor (cairo + pango, "
      "1496x764, RGB, no filter, level 3) %.2f ms, of which drawing %.2f ms, %zu bytes\n",
      median(widgetMs), median(floorMs), median(drawMs), floorBytes);
  std::printf(
      "AllProjectsWidget systemExtraLarge / floor: %.2f wall, %.2f CPU (%.1f / %.1f ms "
      "CPU a drawing)\n",
      median(widgetMs) / median(floorMs), serveCpuMs / floorCpuMs, serveCpuMs / runs,
      floorCpuMs / runs);

  // Encoder settings on the largest widget's own pixels.
  const vx::bench::Picture widget = vx::bench::decodePng(largest);
  if (!widget) fail("the largest widget's PNG did not decode");
  struct Tried {
    const char* name;
    vx::bench::PngSettings settings;
  };
  const Tried tried[] = {
      {"RGBA, all filters, level 6 (libpng's defaults)", {true, PNG_ALL_FILTERS, 6}},
      {"RGB, all filters, level 6", {false, PNG_ALL_FILTERS, 6}},
      {"RGB, none, level 1", {false, PNG_FILTER_NONE, 1}},
      {"RGB, none, level 2", {false, PNG_FILTER_NONE, 2}},
      {"RGB, none, level 3", {false, PNG_FILTER_NONE, 3}},
      {"RGB, none, level 6", {false, PNG_FILTER_NONE, 6}},
      {"RGB, sub, level 1", {false, PNG_FILTER_SUB, 1}},
      {"RGB, sub, level 3", {false, PNG_FILTER_SUB, 3}},
      {"RGB, sub, level 6", {false, PNG_FILTER_SUB, 6}},
      {"RGB, up, level 3", {false, PNG_FILTER_UP, 3}},
      {"RGB, paeth, level 3", {false, PNG_FILTER_PAETH, 3}},
  };
  std::printf("encoder settings on the largest widget's pixels:\n");
  for (const Tried& t : tried) {
    std::size_t size = 0;
    const double encodeMs =
        medianMs(std::max(3, runs / 3), [&] { size = encodePicture(widget, t.settings).size(); });
    std::printf("  %-48s %8zu bytes %8.2f ms\n", t.name, size, encodeMs);
  }
  return 0;
}
