#pragma once

// What the tests of the host's windows share: a desktop session in a scratch folder (home, XDG
// folders, the demo service's session handed to the widgets), placing widgets, waiting for
// their drawings, and comparing what a screen shows with a drawing.

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include <cairo.h>
#include <sys/types.h>
#include <nlohmann/json.hpp>

#include "support/process.hpp"
#include "support/scratch.hpp"

namespace vx::desktop {

class DeskSession {
 public:
  // Everything runs as `user` when given (the tests run as root; some programs refuse that).
  explicit DeskSession(std::optional<uid_t> user = std::nullopt);

  [[nodiscard]] const std::filesystem::path& work() const { return work_.path(); }
  [[nodiscard]] testing::Environment& environment() { return environment_; }
  [[nodiscard]] testing::ProcessOptions options(std::vector<std::string> arguments) const;
  // A program of the build (`widgets/vantorix-widgets`, ...).
  [[nodiscard]] static std::string program(const std::string& relative);

  // Places a widget; the placement's id.
  std::string place(const std::string& kind, const std::string& family, int x, int y);
  // The host running with windows, its images in `work()/out`.
  [[nodiscard]] std::unique_ptr<testing::ChildProcess> runHost();
  // The index records of the widgets named in `scales` once each has an image drawn at its
  // scale there; empty when they do not come.
  [[nodiscard]] std::vector<nlohmann::json> drawings(const std::map<std::string, double>& scales);
  [[nodiscard]] std::filesystem::path image(const nlohmann::json& record) const;

 private:
  testing::ScratchFolder work_;
  std::optional<uid_t> user_;
  testing::Environment environment_;
  std::unique_ptr<testing::ChildProcess> demo_;
};

// Share of a drawing's pixels (inside the widget's rounded outline) that `screen` shows within 2
// per channel with the drawing's top-left corner at (x, y) pixels. Both are cairo image surfaces.
[[nodiscard]] double matchingShare(cairo_surface_t* drawing, cairo_surface_t* screen, int x, int y,
                                   double scale);
// The pixel of an image surface at (x, y) as 0xRRGGBB.
[[nodiscard]] std::uint32_t pixelAt(cairo_surface_t* surface, int x, int y);

}  // namespace vx::desktop
