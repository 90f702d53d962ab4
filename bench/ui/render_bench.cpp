// bench_ui_render warm [N]      lays out and paints the sample widget N times (default 200)
//                               after one untimed run; prints per-render times.
// bench_ui_render once OUT.png  one cold render written to OUT.png (time it from outside).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/widget_family.hpp"
#include "sample_widget.hpp"
#include "store/atomic_write.hpp"

namespace {

// The size the host gives a large widget.
vx::ui::Size largeWidget() {
  const vx::host::WidgetSize s = vx::host::size(vx::host::WidgetFamily::systemLarge);
  return {s.width, s.height};
}

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double peakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

double percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

int warm(int runs) {
  using namespace vx;
  const ui::Size size = largeWidget();
  const ui::Element tree = bench::sampleWidget();
  // The first render in a process also loads fonts and fills the text measurement cache.
  const auto first0 = Clock::now();
  if (!ui::render(ui::layout(tree, size), ui::ImageFormat::png)) return 1;
  const double firstMs = ms(Clock::now() - first0);
  std::vector<double> layoutMs;
  std::vector<double> paintMs;
  std::vector<double> totalMs;
  std::size_t bytes = 0;
  int boxes = 0;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = Clock::now();
    const ui::Layout laid = ui::layout(tree, size);
    const auto t1 = Clock::now();
    auto png = ui::render(laid, ui::ImageFormat::png);
    const auto t2 = Clock::now();
    if (!png) return 1;
    bytes = png->bytes.size();
    boxes = bench::boxCount(laid);
    layoutMs.push_back(ms(t1 - t0));
    paintMs.push_back(ms(t2 - t1));
    totalMs.push_back(ms(t2 - t0));
  }
  std::printf("boxes %d, png %zu bytes, %d runs\n", boxes, bytes, runs);
  std::printf("first render  %.2f ms\n", firstMs);
  std::printf("layout        median %.2f ms  p90 %.2f ms\n", percentile(layoutMs, 0.5),
              percentile(layoutMs, 0.9));
  std::printf("paint+encode  median %.2f ms  p90 %.2f ms\n", percentile(paintMs, 0.5),
              percentile(paintMs, 0.9));
  std::printf("total         median %.2f ms  p90 %.2f ms  min %.2f ms\n", percentile(totalMs, 0.5),
              percentile(totalMs, 0.9), percentile(totalMs, 0.0));
  std::printf("peak RSS %.1f MiB\n", peakRssMiB());
  return 0;
}

int once(const std::string& out) {
  using namespace vx;
  const ui::Layout laid = ui::layout(bench::sampleWidget(), largeWidget());
  auto png = ui::render(laid, ui::ImageFormat::png);
  if (!png || store::writeAtomically(out, png->bytes, 0644)) {
    std::fprintf(stderr, "cannot write %s\n", out.c_str());
    return 1;
  }
  std::printf("boxes %d, links %zu, peak RSS %.1f MiB\n", bench::boxCount(laid), png->links.size(),
              peakRssMiB());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "warm";
  if (mode == "warm") return warm(argc > 2 ? std::max(1, std::atoi(argv[2])) : 200);
  if (mode == "once" && argc > 2) return once(argv[2]);
  std::fprintf(stderr, "usage: %s warm [N] | once OUT.png\n", argv[0]);
  return 2;
}
