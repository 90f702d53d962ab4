#include "desktop/gallery_previews.hpp"

#include <nlohmann/json.hpp>

#include "store/file_io.hpp"
#include "store/shared_folder.hpp"

namespace vx::desktop {
namespace {

// How many drawings run at once, and how long one may take.
constexpr std::size_t kAtOnce = 2;
constexpr std::chrono::seconds kPatience{20};

// Whether a session was handed to the widgets, to tell signed out from nothing cached yet.
bool sessionSaved() {
  const auto folder = SharedStore::folder();
  return folder && store::regularFileModified(*folder / SharedStore::kSessionFile).has_value();
}

}  // namespace

GalleryPreviews::GalleryPreviews(const std::string& extension, std::filesystem::path folder)
    : folder_(std::move(folder)), calls_(extension) {}

void GalleryPreviews::draw(const std::vector<KindInfo>& kinds, const std::string& scheme,
                           int scale) {
  kinds_ = kinds;
  scheme_ = scheme;
  scale_ = scale;
  const unsigned round = ++round_;
  waiting_.clear();
  if (kinds_.empty()) return;
  calls_.call({"preview", "--kind", kinds_.front().kind}, kPatience,
              [this, round](const ExtensionCalls::Result& result) {
                const auto entry = nlohmann::json::parse(result.output, nullptr, false);
                sourceKnown(round, previewSource(entry, sessionSaved()));
              });
}

void GalleryPreviews::sourceKnown(unsigned round, PreviewSource source) {
  if (round != round_) return;
  if (sourceTold_) sourceTold_(source);
  for (const KindInfo& kind : kinds_) {
    for (const host::WidgetFamily family : kind.families) {
      Order order{round, {kind.kind, family, {}, scale_}, source == PreviewSource::previews};
      waiting_.push_back(std::move(order));
    }
  }
  next();
}

void GalleryPreviews::next() {
  while (running_ < kAtOnce && !waiting_.empty()) {
    Order order = std::move(waiting_.front());
    waiting_.pop_front();
    render(std::move(order));
  }
}

std::vector<std::string> GalleryPreviews::arguments(const Order& order) const {
  return {"render",   order.preview ? "--preview" : "--placeholder",
          "--kind",   order.picture.kind,
          "--family", std::string(host::rawValue(order.picture.family)),
          "--out",    order.picture.image.string(),
          "--scheme", scheme_,
          "--scale",  std::to_string(order.picture.scale)};
}

void GalleryPreviews::render(Order order) {
  order.picture.image = folder_ / ("picture-" + std::to_string(++named_) + ".png");
  ++running_;
  calls_.call(arguments(order), kPatience, [this, order](const ExtensionCalls::Result& result) {
    --running_;
    rendered(order, result);
    next();
  });
}

void GalleryPreviews::rendered(const Order& order, const ExtensionCalls::Result& result) {
  if (order.round != round_) {
    store::removeFile(order.picture.image);
    return;
  }
  if (!result.succeeded) {
    store::removeFile(order.picture.image);
    // A preview that cannot be drawn shows as the placeholder; a placeholder stays missing.
    if (order.preview) waiting_.push_front({order.round, order.picture, false});
    return;
  }
  auto& shown = shown_[{order.picture.kind, order.picture.family}];
  if (!shown.empty()) store::removeFile(shown);
  shown = order.picture.image;
  if (drawn_) drawn_(order.picture);
}

}  // namespace vx::desktop
