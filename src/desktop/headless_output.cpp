#include "desktop/headless_output.hpp"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include <unistd.h>

#include "store/atomic_write.hpp"
#include "store/file_io.hpp"
#include "store/folder.hpp"
#include "store/stale_temporaries.hpp"

namespace vx::desktop {
namespace {

// The index and the drawings are the user's alone, like the files of the shared folder.
constexpr mode_t kIndexMode = 0600;

std::int64_t entryDate(const nlohmann::json& entry) {
  const auto date = entry.find("date");
  return date != entry.end() && date->is_number_integer() ? date->get<std::int64_t>() : 0;
}

constexpr std::string_view kImagePrefix = "widget-";
constexpr std::string_view kImageSuffix = ".png";

// The image a temporary of the atomic writer is for, when `name` is one of an image's.
std::optional<std::string> temporaryFor(const std::string& name) {
  // ".<image>.XXXXXX"
  constexpr std::size_t kTail = 7;
  if (name.size() <= kTail + 1 || name.front() != '.') return std::nullopt;
  std::string image = name.substr(1, name.size() - kTail - 1);
  if (!isImageName(image) || !store::isTemporaryOf(image, name)) return std::nullopt;
  return image;
}

bool isRegularFile(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::symlink_status(path, error).type() == std::filesystem::file_type::regular;
}

}  // namespace

bool isImageName(const std::string& name) {
  if (name.size() <= kImagePrefix.size() + kImageSuffix.size() || !name.starts_with(kImagePrefix) ||
      !name.ends_with(kImageSuffix)) {
    return false;
  }
  const std::string middle =
      name.substr(kImagePrefix.size(), name.size() - kImagePrefix.size() - kImageSuffix.size());
  const auto dash = middle.rfind('-');
  if (dash == std::string::npos || dash + 1 == middle.size()) return false;
  const std::string date = middle.substr(dash + 1);
  return std::all_of(date.begin(), date.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
         isWidgetId(middle.substr(0, dash));
}

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
  // The extension writes a drawing without flushing it; once the index, which is flushed, names
  // it, the image must survive a crash as well. The index's own flush of the folder keeps its
  // name. Should the flush fail, there is nothing better to show than the drawing as it is.
  if (image && image != shown.image) (void)store::flushFile(folder_ / *image);
  if (shown.image && image != shown.image) {
    std::error_code ignored;
    std::filesystem::remove(folder_ / *shown.image, ignored);
  }
  shown.record = std::move(record);
  shown.image = image;
}

void HeadlessOutput::move(const Placement& placement) {
  const auto found = shown_.find(placement.id);
  if (found == shown_.end()) return;
  found->second.record["position"] = {{"x", placement.position.x}, {"y", placement.position.y}};
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

void HeadlessOutput::discard(const std::filesystem::path& image) const {
  const std::string name = image.filename().string();
  if (!isImageName(name) || named(name)) return;
  (void)::unlink((folder_ / name).c_str());
}

void HeadlessOutput::sweep(const std::set<std::string>& writing) const {
  std::set<std::string> keep;
  for (const std::string& image : writing) keep.insert(std::filesystem::path(image).filename());
  std::error_code error;
  for (std::filesystem::directory_iterator entries(folder_, error), end; !error && entries != end;
       entries.increment(error)) {
    const std::string name = entries->path().filename().string();
    const std::optional<std::string> image =
        isImageName(name) ? std::optional(name) : temporaryFor(name);
    if (!image || named(*image) || keep.contains(*image)) continue;
    if (isRegularFile(entries->path())) (void)::unlink(entries->path().c_str());
  }
}

bool HeadlessOutput::named(const std::string& image) const {
  return std::any_of(shown_.begin(), shown_.end(),
                     [&](const auto& shown) { return shown.second.image == image; });
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
