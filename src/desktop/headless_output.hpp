#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "desktop/placements.hpp"

namespace vx::desktop {

// Headless showing: every widget's current image in one folder, with `index.json` describing
// them: {"widgets": [{"id", "kind", "family", "position", "date", "image", "size", "scale",
// "links", "texts"}]} (`date` in milliseconds since 1970; `image` is the file name in the folder,
// absent until the first drawing is in). Images carry the entry's date in their names, so a drawing
// that arrives late never overwrites a newer one; the one the index names is the current one.
// The folder holds the images the index names and those being drawn, nothing more: a drawing
// no longer wanted is discarded when it comes in, and what a stopped host left is swept away.
class HeadlessOutput {
 public:
  explicit HeadlessOutput(std::filesystem::path folder) : folder_(std::move(folder)) {}

  // Makes the folder ready for the drawings, which show the user's inbox: created with mode 0700
  // when missing, and otherwise kept private as the shared folder is (group and other bits
  // taken away). Throws `std::runtime_error` when it cannot be created, or is another user's
  // folder, a symbolic link or reached through one of another user.
  void prepare() const;

  // Where the drawing of `entry` for `placement` goes.
  [[nodiscard]] std::filesystem::path imagePath(const Placement& placement,
                                                const nlohmann::json& entry) const;
  // `placement` shows `entry` from now on. `drawing` is the extension's render answer once it
  // is in (an object without "path" when the drawing failed); nothing while it is under way,
  // in which case the previous drawing, if any, stays in the index until the new one is in.
  void show(const Placement& placement, const nlohmann::json& entry,
            const std::optional<nlohmann::json>& drawing);
  void remove(const std::string& id);
  // The widget shows what it showed at `placement`'s position.
  void move(const Placement& placement);
  // Removes the image at `image` (a drawing that came in when it was no longer wanted), unless
  // the index names it.
  void discard(const std::filesystem::path& image) const;
  // Removes what earlier drawings left in the folder: every image of this host's naming (and
  // every temporary of one) that the index does not name and that is not among `writing`, the
  // images being drawn. Only regular files go; links and anything named otherwise are left.
  void sweep(const std::set<std::string>& writing) const;
  // The index record of a widget, if it shows anything.
  [[nodiscard]] const nlohmann::json* record(const std::string& id) const;
  // Rewrites index.json. Throws `std::runtime_error` when it cannot.
  void writeIndex() const;

 private:
  struct Shown {
    nlohmann::json record;
    std::optional<std::string> image;
  };
  [[nodiscard]] bool named(const std::string& image) const;

  std::filesystem::path folder_;
  std::map<std::string, Shown> shown_;
};

// Whether `name` is one this host gives its images: "widget-<id>-<date>.png", the id made of
// the characters a widget id may hold and the date a whole number.
[[nodiscard]] bool isImageName(const std::string& name);

}  // namespace vx::desktop
