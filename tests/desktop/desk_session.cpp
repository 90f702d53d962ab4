#include "desk_session.hpp"

#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "support/unprivileged.hpp"

namespace vx::desktop {

using Json = nlohmann::json;
using testing::eventually;
using testing::readFile;

// The corner radius of widget windows, in points.
constexpr double kCornerRadius = 20;

const std::vector<Widget>& everyKindAndFamily() {
  static const std::vector<Widget> widgets = {
      {"ProjectSummaryWidget", "systemSmall", 10, 12, 170, 170},
      {"WaitingWidget", "systemSmall", 190, 12, 170, 170},
      {"ProjectSummaryWidget", "systemMedium", 370, 12, 364, 170},
      {"WaitingWidget", "systemMedium", 744, 12, 364, 170},
      {"AllProjectsWidget", "systemMedium", 1118, 12, 364, 170},
      {"AllProjectsWidget", "systemLarge", 10, 200, 364, 382},
      {"WaitingWidget", "systemLarge", 384, 200, 364, 382},
      {"AllProjectsWidget", "systemExtraLarge", 758, 200, 748, 382}};
  return widgets;
}

std::string program(const std::string& relative) {
  return (std::filesystem::path(VX_BIN) / relative).string();
}

DeskSession::DeskSession(std::optional<uid_t> user) : user_(user) {
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
  const auto& root = work();
  environment_ = {
      {"PATH", path},
      {"HOME", root.string()},
      {"XDG_DATA_HOME", (root / "data").string()},
      {"XDG_CONFIG_HOME", (root / "config").string()},
      {"XDG_RUNTIME_DIR", (root / "run").string()},
      {"TZ", "UTC"},
      {"LANG", "en_US.UTF-8"},
  };
  for (const char* folder : {"run", "config", "data"}) {
    std::filesystem::create_directories(root / folder);
  }
  std::filesystem::permissions(root / "run", std::filesystem::perms::owner_all);
  std::filesystem::create_directories(root / "data" / "applications");
  std::ofstream(root / "data" / "applications" / "vx-test-open.desktop")
      << "[Desktop Entry]\nType=Application\nName=Open\nExec=/bin/sh -c 'printf %s \"$1\" > "
      << opened().string() << "' sh %u\nMimeType=x-scheme-handler/vantorix;\n";
  std::ofstream(root / "config" / "mimeapps.list")
      << "[Default Applications]\nx-scheme-handler/vantorix=vx-test-open.desktop\n";
  if (user_) testing::handOver(root);

  const auto ready = root / "session.json";
  demo_ = std::make_unique<testing::ChildProcess>(
      program("demo/vantorix-demo-service"),
      options({"--port", "0", "--ready-file", ready.string()}));
  if (!eventually([&] { return !readFile(ready).empty(); }) ||
      testing::run(program("keyferry/keyferry"), options({"save"}), readFile(ready)).status != 0) {
    throw std::runtime_error("the demo service did not start, or keyferry save failed");
  }
}

testing::ProcessOptions DeskSession::options(std::vector<std::string> arguments) const {
  testing::ProcessOptions options;
  options.arguments = std::move(arguments);
  options.environment = environment_;
  options.user = user_;
  return options;
}

testing::RunResult DeskSession::host(std::vector<std::string> arguments) const {
  return testing::run(program("desktop/vantorix-widget-host"), options(std::move(arguments)));
}

std::string DeskSession::place(const std::string& kind, const std::string& family, int x, int y) {
  const auto placed = testing::run(program("desktop/vantorix-widget-host"),
                                   options({"place", "--kind", kind, "--family", family, "--x",
                                            std::to_string(x), "--y", std::to_string(y)}));
  if (placed.status != 0) throw std::runtime_error("place failed: " + placed.error);
  return placed.output.substr(0, placed.output.find('\n'));
}

std::unique_ptr<testing::ChildProcess> DeskSession::runHost() {
  return std::make_unique<testing::ChildProcess>(
      program("desktop/vantorix-widget-host"),
      options({"run", "--output", (work() / "out").string()}));
}

std::vector<Json> DeskSession::drawings(const std::map<std::string, double>& scales) {
  std::vector<Json> records;
  eventually([&] {
    records.clear();
    const auto index = Json::parse(readFile(work() / "out" / "index.json"), nullptr, false);
    if (!index.is_object()) return false;
    for (const Json& record : index.value("widgets", Json::array())) {
      const auto scale = scales.find(record.value("id", ""));
      if (record.contains("image") && scale != scales.end() &&
          record.value("scale", 0.0) == scale->second) {
        records.push_back(record);
      }
    }
    return records.size() == scales.size();
  });
  if (records.size() != scales.size()) records.clear();
  return records;
}

std::filesystem::path DeskSession::image(const Json& record) const {
  return work() / "out" / record.at("image").get<std::string>();
}

std::function<std::filesystem::path()> DeskSession::imageOf(const std::string& id,
                                                            double scale) const {
  return [this, id, scale]() -> std::filesystem::path {
    const auto index = Json::parse(readFile(work() / "out" / "index.json"), nullptr, false);
    if (!index.is_object()) return {};
    for (const Json& record : index.value("widgets", Json::array())) {
      if (record.value("id", "") == id && record.contains("image") &&
          record.value("scale", 0.0) == scale) {
        return image(record);
      }
    }
    return {};
  };
}

Json DeskSession::placements() const {
  return Json::parse(readFile(work() / "config" / "vantorix-widget-host" / "widgets.json"), nullptr,
                     false);
}

std::uint32_t pixelAt(cairo_surface_t* surface, int x, int y) {
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  return *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4) & 0xffffff;
}

namespace {

// Share of the drawing's pixels, corners left out, that `screen` shows at (x, y).
double matchingShare(cairo_surface_t* drawing, cairo_surface_t* screen, int x, int y,
                     double scale) {
  const int width = cairo_image_surface_get_width(drawing);
  const int height = cairo_image_surface_get_height(drawing);
  const int corner = static_cast<int>(kCornerRadius * scale) + 1;
  long matching = 0, compared = 0;
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      if ((row < corner || row >= height - corner) && (column < corner || column >= width - corner))
        continue;
      ++compared;
      const int sx = x + column, sy = y + row;
      if (sx < 0 || sy < 0 || sx >= cairo_image_surface_get_width(screen) ||
          sy >= cairo_image_surface_get_height(screen))
        continue;
      const std::uint32_t a = pixelAt(drawing, column, row), b = pixelAt(screen, sx, sy);
      bool same = true;
      for (int shift : {16, 8, 0}) {
        same = same && std::abs(static_cast<int>((a >> shift) & 0xff) -
                                static_cast<int>((b >> shift) & 0xff)) <= 2;
      }
      matching += same ? 1 : 0;
    }
  }
  return compared == 0 ? 0 : static_cast<double>(matching) / static_cast<double>(compared);
}

}  // namespace

void expectShown(const std::function<std::filesystem::path()>& drawing,
                 const std::function<cairo_surface_t*()>& grab, int x, int y, double scale) {
  double share = 0;
  cairo_surface_t* screen = nullptr;
  cairo_surface_t* image = nullptr;
  // The drawing and the screen are looked at again each time: a newer entry may come meanwhile.
  EXPECT_TRUE(eventually([&] {
    for (cairo_surface_t* old : {screen, image}) {
      if (old != nullptr) cairo_surface_destroy(old);
    }
    image = cairo_image_surface_create_from_png(drawing().c_str());
    screen = grab();
    share = cairo_surface_status(screen) == CAIRO_STATUS_SUCCESS &&
                    cairo_surface_status(image) == CAIRO_STATUS_SUCCESS
                ? matchingShare(image, screen, x, y, scale)
                : 0;
    return share > 0.99;
  })) << "share of matching pixels: "
      << share;
  if (share > 0.99) {
    EXPECT_LT(matchingShare(image, screen, x + 4, y + 4, scale), 0.99);  // tells places apart
    EXPECT_EQ(pixelAt(screen, x + 1, y + 1), pixelAt(screen, x - 1, y - 1))
        << "a square corner shows";
  }
  cairo_surface_destroy(screen);
  cairo_surface_destroy(image);
}

}  // namespace vx::desktop
