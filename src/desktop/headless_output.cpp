#include "desktop/headless_output.hpp"

#include <stdexcept>

#include "store/atomic_write.hpp"
#include "store/folder.hpp"

namespace vx::desktop {
namespace {

// The index and the drawings are the user's alone, like the files of the shared folder.
constexpr mode_t kIndexMode = 0600;

std::int64_t entryDate(const nlohmann::json& entry) {
  const auto date = entry.find("date");
  return date != entry.end() && date->is_number_integer() ? date->get<std::int64_t>() : 0;
}

}  // namespace

void HeadlessOutput::prepare() const {
  if (!store::ensureFolder(folder_)) {
    throw std::runtime_error("cannot use " + folder_.string() +
                             " for the drawings: it must be a folder of this user's own (not "
                             "a symbolic link), or one that can be created");
  }
}

std::filesystem::path HeadlessOutput::imagePath(const Placement& placement,
                                                const nlohmann::json& entry) const {
  return folder_ / ("widget-" + placement.id + "-" + std::to_string(entryDate(entry)) + ".png");
}

void HeadlessOutput::show(const Placement& placement, const nlohmann::json& entry,
                          const std::optional<nlohmann::json>& drawing) {
  Shown& shown = shown_[placement.id];
  nlohmann::json record = {{"id", placement.id},
                           {"kind", placement.kind},
                           {"family", std::string(host::rawValue(placement.family))},
                           {"position", {{"x", placement.position.x}, {"y", placement.position.y}}},
                           {"date", entryDate(entry)}};
  std::optional<std::string> image;
  if (drawing && drawing->contains("path")) {
    image = imagePath(placement, entry).filename().string();
    for (const char* member : {"size", "scale", "links", "texts"}) {
      if (const auto value = drawing->find(member); value != drawing->end())
        record[member] = *value;
    }
  } else if (!drawing && shown.image) {
    // Until the new drawing is in, the previous one stays what the widget shows.
    return;
  }
  if (image) record["image"] = *image;
  if (shown.image && image != shown.image) {
    std::error_code ignored;
    std::filesystem::remove(folder_ / *shown.image, ignored);
  }
  shown.record = std::move(record);
  shown.image = image;
}

void HeadlessOutput::remove(const std::string& id) {
  const auto found = shown_.find(id);
  if (found == shown_.end()) return;
  if (found->second.image) {
    std::error_code ignored;
    std::filesystem::remove(folder_ / *found->second.image, ignored);
  }
  shown_.erase(found);
}

const nlohmann::json* HeadlessOutput::record(const std::string& id) const {
  const auto found = shown_.find(id);
  return found == shown_.end() ? nullptr : &found->second.record;
}

void HeadlessOutput::writeIndex() const {
  nlohmann::json widgets = nlohmann::json::array();
  for (const auto& [id, shown] : shown_) widgets.push_back(shown.record);
  const nlohmann::json index = {{"widgets", widgets}};
  if (auto failure =
          store::writeAtomically(folder_ / "index.json", index.dump(2) + "\n", kIndexMode)) {
    throw std::runtime_error(failure->description());
  }
}

}  // namespace vx::desktop
