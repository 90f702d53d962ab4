#pragma once

// What the tests of the host's windows share: a desktop session in a scratch folder (home, XDG
// folders, the demo service's session handed to the widgets), placing widgets, waiting for
// their drawings, and comparing what a screen shows with a drawing.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <cairo.h>
#include <sys/types.h>
#include <nlohmann/json.hpp>

#include "support/process.hpp"
#include "support/scratch.hpp"

namespace vx::desktop {

// A widget to place, with its size in points.
struct Widget {
  std::string kind, family;
  int x, y, width, height;
};
// Every kind in every family it offers, side by side within 1600 × 640 points from (0, 0).
[[nodiscard]] const std::vector<Widget>& everyKindAndFamily();

class DeskSession {
 public:
  // Everything runs as `user` when given (the tests run as root; some programs refuse that).
  explicit DeskSession(std::optional<uid_t> user = std::nullopt);

  [[nodiscard]] const std::filesystem::path& work() const { return work_.path(); }
  [[nodiscard]] testing::Environment& environment() { return environment_; }
  [[nodiscard]] testing::ProcessOptions options(std::vector<std::string> arguments) const;

  // The host's command line with `arguments`.
  [[nodiscard]] testing::RunResult host(std::vector<std::string> arguments) const;
  // Places a widget; the placement's id.
  std::string place(const std::string& kind, const std::string& family, int x, int y);
  // The host running with windows, its images in `work()/out`.
  [[nodiscard]] std::unique_ptr<testing::ChildProcess> runHost();
  // The index records of the widgets named in `scales` once each has an image drawn at its
  // scale there; empty when they do not come.
  [[nodiscard]] std::vector<nlohmann::json> drawings(const std::map<std::string, double>& scales);
  [[nodiscard]] std::filesystem::path image(const nlohmann::json& record) const;
  // The image the index names for widget `id` when it is read (a newer entry may have been drawn
  // since an earlier look), if drawn at `scale`; an empty path otherwise.
  [[nodiscard]] std::function<std::filesystem::path()> imageOf(const std::string& id,
                                                               double scale) const;
  // The placements file as the host and the command line keep it.
  [[nodiscard]] nlohmann::json placements() const;
  // Where the desktop's handler for vantorix:// links (registered in the session's own XDG
  // folders) writes the last link it was asked to open.
  [[nodiscard]] std::filesystem::path opened() const { return work() / "opened.txt"; }

 private:
  testing::ScratchFolder work_;
  std::optional<uid_t> user_;
  testing::Environment environment_;
  std::unique_ptr<testing::ChildProcess> demo_;
};

// Checks that the screens `grab` takes come to show the PNG `drawing` names at each look (the
// widget's current drawing) with its top-left corner at (x, y) pixels, inside its rounded corners
// (each channel within 2), not a few pixels off, with what lies outside a corner showing there.
// `grab` returns a cairo image (owned by the caller).
void expectShown(const std::function<std::filesystem::path()>& drawing,
                 const std::function<cairo_surface_t*()>& grab, int x, int y, double scale);
// The pixel of an image surface at (x, y) as 0xRRGGBB.
[[nodiscard]] std::uint32_t pixelAt(cairo_surface_t* surface, int x, int y);

}  // namespace vx::desktop
