// bench_widgets_burst_memory [ITEMS] [BURSTS] [timelines|renders]
//
// A serving process's footprint through reload-sized bursts: six timelines (two of each kind)
// and six renders of entries handed back (two families of each kind) sent at once, BURSTS times
// (default 5), as a host asks after a reload. Against the demo service (ten projects) in a
// temporary shared folder; with ITEMS (default 0: the demo account as it is) the cached snapshot
// is made to hold ITEMS waiting items spread over its projects and dated a day ahead, so that
// it stays fresh and every answer comes from it. Footprint is Private_Dirty + Swap of
// /proc/PID/smaps_rollup, sampled every 5 ms, with RSS beside it. With "timelines" or "renders"
// the bursts hold only those six requests.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "../refresh/demo_process.hpp"
#include "support/process.hpp"
#include "support/scratch.hpp"

namespace {

using nlohmann::json;

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::exit(1);
}

// Private_Dirty + Swap and Rss of a process, in KiB.
struct Footprint {
  long privateKiB = 0;
  long rssKiB = 0;
};

Footprint footprintOf(pid_t pid) {
  std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
  Footprint f;
  std::string line;
  while (std::getline(rollup, line)) {
    std::istringstream fields(line);
    std::string name;
    long kib = 0;
    if (!(fields >> name >> kib)) continue;  // the first line names the range
    if (name == "Private_Dirty:" || name == "Swap:") f.privateKiB += kib;
    if (name == "Rss:") f.rssKiB = kib;
  }
  return f;
}

// Samples a process every 5 ms until stopped, keeping the peaks.
class Sampler {
 public:
  explicit Sampler(pid_t pid)
      : thread_([this, pid] {
          while (!stop_) {
            const Footprint f = footprintOf(pid);
            peakPrivate_ = std::max(peakPrivate_.load(), f.privateKiB);
            peakRss_ = std::max(peakRss_.load(), f.rssKiB);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
          }
        }) {}
  ~Sampler() {
    stop_ = true;
    thread_.join();
  }
  Sampler(const Sampler&) = delete;
  Sampler& operator=(const Sampler&) = delete;

  [[nodiscard]] double peakPrivateMiB() const { return peakPrivate_ / 1024.0; }
  [[nodiscard]] double peakRssMiB() const { return peakRss_ / 1024.0; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<long> peakPrivate_{0};
  std::atomic<long> peakRss_{0};
  std::thread thread_;
};

// The cached snapshot with `items` waiting items over its projects, fresh for a day.
void inflate(const std::filesystem::path& file, int items) {
  json snapshot = json::parse(vx::testing::readFile(file));
  json& projects = snapshot["projects"];
  const auto ahead = snapshot["at"].get<double>() + 86'400'000.0;
  snapshot["at"] = ahead;
  for (auto& [period, at] : snapshot["periodAt"].items()) at = ahead;
  std::vector<json> samples;
  for (const json& project : projects) {
    for (const json& item : project.value("waiting", json::array())) samples.push_back(item);
  }
  if (samples.empty()) fail("the demo account has no waiting item to copy");
  for (std::size_t p = 0; p < projects.size(); ++p) {
    json waiting = json::array();
    const int count = items / static_cast<int>(projects.size()) +
                      (static_cast<int>(p) < items % static_cast<int>(projects.size()) ? 1 : 0);
    for (int i = 0; i < count; ++i) {
      json item = samples[(p + i) % samples.size()];
      item["id"] = "bench-" + std::to_string(p) + "-" + std::to_string(i);
      item["slug"] = projects[p]["slug"];
      waiting.push_back(std::move(item));
    }
    projects[p]["waiting"] = std::move(waiting);
  }
  vx::testing::writeFile(file, snapshot.dump());
}

struct Ask {
  const char* kind;
  const char* family;
};

constexpr Ask kRenders[] = {
    {"ProjectSummaryWidget", "systemSmall"}, {"ProjectSummaryWidget", "systemMedium"},
    {"AllProjectsWidget", "systemLarge"},    {"AllProjectsWidget", "systemExtraLarge"},
    {"WaitingWidget", "systemMedium"},       {"WaitingWidget", "systemLarge"},
};

}  // namespace

int main(int argc, char** argv) {
  const int items = argc > 1 ? std::max(0, std::atoi(argv[1])) : 0;
  const int bursts = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const std::string only = argc > 3 ? argv[3] : "";
  const bool timelines = only != "renders";
  const bool renders = only != "timelines";
  vx::testing::ScratchFolder scratch;
  const vx::bench::DemoProcess demo(scratch.path() / "ready", 0);
  const vx::testing::Environment env = {{"XDG_DATA_HOME", (scratch.path() / "data").string()},
                                        {"HOME", scratch.path().string()},
                                        {"TZ", "UTC"},
                                        {"LANG", "C.UTF-8"}};
  if (vx::testing::run(VX_KEYFERRY_PATH, {"save"}, env, demo.session).status != 0) {
    fail("keyferry save failed");
  }
  vx::testing::ChildProcess serve(VX_WIDGETS_PATH, {"serve"}, env);
  int id = 0;
  const auto send = [&](json request) {
    request["id"] = ++id;
    serve.write(request.dump() + "\n");
  };
  const auto receive = [&] {
    const auto line = serve.readLine();
    if (!line) fail("serve ended: " + serve.error());
    json answer = json::parse(*line);
    if (!answer.contains("result")) fail("serve refused: " + line->substr(0, 300));
    return answer;
  };

  // The first refresh fills the cache; then it is made as large as asked.
  send({{"op", "timeline"}, {"kind", "AllProjectsWidget"}});
  (void)receive();
  std::filesystem::path cache;
  for (const auto& each : std::filesystem::recursive_directory_iterator(scratch.path() / "data")) {
    if (each.path().filename() == "snapshot.json") cache = each.path();
  }
  if (cache.empty()) fail("no snapshot.json was written");
  if (items > 0) inflate(cache, items);

  std::vector<json> entries;
  for (const Ask& r : kRenders) {
    send({{"op", "timeline"}, {"kind", r.kind}});
    entries.push_back(receive()["result"]["entries"][0]);
  }
  const Footprint before = footprintOf(serve.pid());
  const auto started = std::chrono::steady_clock::now();
  {
    Sampler sampler(serve.pid());
    for (int b = 0; b < bursts; ++b) {
      int asked = 0;
      for (const Ask& r : kRenders) {
        if (!timelines) break;
        send({{"op", "timeline"}, {"kind", r.kind}});
        ++asked;
      }
      for (std::size_t i = 0; renders && i < std::size(kRenders); ++i, ++asked) {
        send({{"op", "render"},
              {"kind", kRenders[i].kind},
              {"family", kRenders[i].family},
              {"entry", entries[i]},
              {"out", (scratch.path() / ("out" + std::to_string(i) + ".png")).string()}});
      }
      for (int answers = 0; answers < asked; ++answers) (void)receive();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const Footprint after = footprintOf(serve.pid());
    const std::string what = only.empty() ? "6 timelines + 6 renders" : "6 " + only;
    std::printf("waiting items %s, %d bursts of %s in %.2f s\n",
                items > 0 ? std::to_string(items).c_str() : "as the demo account has them", bursts,
                what.c_str(), seconds);
    std::printf("footprint before %.1f MiB, peak %.1f MiB, after %.1f MiB\n",
                before.privateKiB / 1024.0, sampler.peakPrivateMiB(), after.privateKiB / 1024.0);
    std::printf("RSS       before %.1f MiB, peak %.1f MiB, after %.1f MiB\n",
                before.rssKiB / 1024.0, sampler.peakRssMiB(), after.rssKiB / 1024.0);
  }
  return 0;
}
