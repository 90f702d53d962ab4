// bench_present_charts warm [N]   builds, lays out and paints a 30-day bar chart and a 90-day
//                                 curve chart N times each (default 500) after one untimed
//                                 run; prints per-chart times.
// bench_present_charts png DIR    writes each sample chart in light, dark and accented mode
//                                 as DIR/<chart>-<mode>.png, for looking at.
#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "present/curve_chart.hpp"
#include "present/day_bars.hpp"
#include "ui/cairo_handles.hpp"
#include "ui/element.hpp"
#include "ui/layout.hpp"
#include "ui/painter.hpp"
#include "ui/render.hpp"

namespace {

using namespace vx;
using Clock = std::chrono::steady_clock;

// The chart's frame in the large project widget: the tile's width, 64 points high.
constexpr ui::Size kFrame{332, 64};
constexpr double kScale = 2;

double ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

// A weekly rhythm with a slow rise and a few empty days, the same every run.
std::vector<double> series(int days, double level, int seed) {
  std::vector<double> v;
  for (int i = 0; i < days; ++i) {
    const double week = 1 + 0.35 * std::sin((i + seed) * 2 * 3.14159265 / 7);
    const double trend = 1 + 0.5 * i / days;
    const bool empty = (i * 7 + seed) % 23 == 0;
    v.push_back(empty ? 0 : std::round(level * week * trend));
  }
  return v;
}

struct Sample {
  const char* name;
  std::function<ui::Element(present::ColorScheme)> build;
  std::function<std::vector<ui::ShapeItem>(ui::Size)> geometry;  // the shapes alone
};

std::vector<Sample> samples() {
  return {
      {"bars30",
       [](present::ColorScheme s) {
         return present::DayBars{series(30, 40, 1), series(30, 35, 4), s}.element();
       },
       [](ui::Size size) {
         return present::DayBars{series(30, 40, 1), series(30, 35, 4)}.shapes(size);
       }},
      {"curve90",
       [](present::ColorScheme s) {
         return present::CurveChart{series(90, 300, 2), series(90, 260, 5), s}.element();
       },
       [](ui::Size size) {
         return present::CurveChart{series(90, 300, 2), series(90, 260, 5)}.shapes(size);
       }},
      {"dots7",
       [](present::ColorScheme s) {
         return present::DayBars{{1, 0, 2, 4, 3, 0, 1}, std::nullopt, s}.element();
       },
       {}},
      {"bars7",
       [](present::ColorScheme s) {
         return present::DayBars{{12, 0, 30, 7, 1, 25, 18}, std::vector<double>(7, 15), s}
             .element();
       },
       {}},
  };
}

// Paints a layout into a fresh image surface at the bench's scale, without encoding it.
bool paint(const ui::Layout& laid) {
  const ui::SurfaceHandle surface(cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, static_cast<int>(std::ceil(kFrame.width * kScale)),
      static_cast<int>(std::ceil(kFrame.height * kScale))));
  const ui::ContextHandle cr(cairo_create(surface.get()));
  cairo_scale(cr.get(), kScale, kScale);
  ui::Painter(cr.get(), {}).paint(laid);
  cairo_surface_flush(surface.get());
  return cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
}

int warm(int runs) {
  for (const Sample& sample : samples()) {
    if (std::string(sample.name) != "bars30" && std::string(sample.name) != "curve90") continue;
    if (!paint(ui::layout(sample.build(present::ColorScheme::light), kFrame))) return 1;
    std::vector<double> buildMs, layoutMs, paintMs, totalMs, pngMs, shapesMs;
    for (int i = 0; i < runs; ++i) {
      const auto t0 = Clock::now();
      const ui::Element chart = sample.build(present::ColorScheme::light);
      const auto t1 = Clock::now();
      const ui::Layout laid = ui::layout(chart, kFrame);
      const auto t2 = Clock::now();
      if (!paint(laid)) return 1;
      const auto t3 = Clock::now();
      ui::RenderOptions options;
      options.scale = kScale;
      if (!ui::render(laid, ui::ImageFormat::png, options)) return 1;
      const auto t4 = Clock::now();
      if (sample.geometry(kFrame).empty()) return 1;
      shapesMs.push_back(ms(Clock::now() - t4));
      buildMs.push_back(ms(t1 - t0));
      layoutMs.push_back(ms(t2 - t1));
      paintMs.push_back(ms(t3 - t2));
      totalMs.push_back(ms(t3 - t0));
      pngMs.push_back(ms(t4 - t3));
    }
    std::printf("%s, %gx%g points at scale %g, %d runs (medians, p90 of the total)\n", sample.name,
                kFrame.width, kFrame.height, kScale, runs);
    std::printf("  build %.3f ms  layout %.3f ms  paint %.3f ms  total %.3f ms (p90 %.3f ms)\n",
                percentile(buildMs, 0.5), percentile(layoutMs, 0.5), percentile(paintMs, 0.5),
                percentile(totalMs, 0.5), percentile(totalMs, 0.9));
    std::printf("  of the paint, the shapes alone %.3f ms\n", percentile(shapesMs, 0.5));
    std::printf("  paint and PNG encoding through render(): %.3f ms\n", percentile(pngMs, 0.5));
  }
  return 0;
}

// Writes the drawing as a PNG. An accented widget has no background of its own (the host shows
// it on a tinted backdrop), so it is painted on a grey one to be seen at all.
bool writePng(const ui::Layout& laid, const ui::RenderOptions& options, const std::string& path) {
  const ui::Size size = laid.canvasSize();
  const ui::SurfaceHandle surface(cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, static_cast<int>(std::ceil(size.width * options.scale)),
      static_cast<int>(std::ceil(size.height * options.scale))));
  const ui::ContextHandle cr(cairo_create(surface.get()));
  if (options.mode == ui::RenderingMode::accented) {
    cairo_set_source_rgb(cr.get(), 0.3, 0.32, 0.36);
    cairo_paint(cr.get());
  }
  cairo_scale(cr.get(), options.scale, options.scale);
  ui::Painter(cr.get(), options).paint(laid);
  cairo_surface_flush(surface.get());
  return cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS &&
         cairo_surface_write_to_png(surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

int images(const std::string& dir) {
  struct Mode {
    const char* name;
    present::ColorScheme scheme;
    ui::RenderingMode rendering;
  };
  const Mode modes[] = {{"light", present::ColorScheme::light, ui::RenderingMode::fullColor},
                        {"dark", present::ColorScheme::dark, ui::RenderingMode::fullColor},
                        {"accented", present::ColorScheme::dark, ui::RenderingMode::accented}};
  for (const Sample& sample : samples()) {
    for (const Mode& mode : modes) {
      const present::Ink ink(mode.scheme);
      // On the widget's background, with its padding, as a widget would show it.
      const ui::Element widget =
          sample.build(mode.scheme)
              .padding(16)
              .background(ui::rectangle().fill(ink.background).containerBackground());
      ui::RenderOptions options;
      options.scale = kScale;
      options.mode = mode.rendering;
      const ui::Size size{kFrame.width + 32, kFrame.height + 32};
      const std::string path = dir + "/" + sample.name + "-" + mode.name + ".png";
      if (!writePng(ui::layout(widget, size), options, path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
      }
      std::printf("%s\n", path.c_str());
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "warm";
  if (mode == "warm") return warm(argc > 2 ? std::max(1, std::atoi(argv[2])) : 500);
  if (mode == "png" && argc > 2) return images(argv[2]);
  std::fprintf(stderr, "usage: %s warm [N] | png DIR\n", argv[0]);
  return 2;
}
