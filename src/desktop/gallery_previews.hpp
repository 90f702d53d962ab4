#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "desktop/extension_calls.hpp"
#include "desktop/gallery_texts.hpp"
#include "desktop/kind_catalogue.hpp"
#include "host/widget_family.hpp"

namespace vx::desktop {

// One drawn picture of the gallery: a kind in one family, drawn at `scale` pixels per point.
struct GalleryPicture {
  std::string kind;
  host::WidgetFamily family = host::WidgetFamily::systemSmall;
  std::filesystem::path image;
  int scale = 1;
};

// Draws the gallery's pictures with the extension, into `folder`: one `preview` first tells
// whether there is cached data to preview; then every kind is drawn in every family it offers,
// a few at a time, as `render --preview` draws it, or `render --placeholder` when there is
// nothing to preview or the preview cannot be drawn. A new round supersedes the one before: its
// late pictures are deleted as they come, as is each picture a newer one replaces.
class GalleryPreviews {
 public:
  GalleryPreviews(const std::string& extension, std::filesystem::path folder);
  GalleryPreviews(const GalleryPreviews&) = delete;
  GalleryPreviews& operator=(const GalleryPreviews&) = delete;

  void onSource(std::function<void(PreviewSource)> told) { sourceTold_ = std::move(told); }
  void onPicture(std::function<void(const GalleryPicture&)> drawn) { drawn_ = std::move(drawn); }

  // Starts a round in the desktop's `scheme` ("light" or "dark") at `scale`.
  void draw(const std::vector<KindInfo>& kinds, const std::string& scheme, int scale);

 private:
  struct Order {
    unsigned round = 0;
    GalleryPicture picture;
    bool preview = true;
  };
  void sourceKnown(unsigned round, PreviewSource source);
  void next();
  void render(Order order);
  void rendered(const Order& order, const ExtensionCalls::Result& result);
  [[nodiscard]] std::vector<std::string> arguments(const Order& order) const;

  std::filesystem::path folder_;
  std::function<void(PreviewSource)> sourceTold_;
  std::function<void(const GalleryPicture&)> drawn_;
  std::vector<KindInfo> kinds_;
  std::string scheme_ = "light";
  int scale_ = 1;
  unsigned round_ = 0;
  std::deque<Order> waiting_;
  std::size_t running_ = 0;
  unsigned named_ = 0;
  std::map<std::pair<std::string, host::WidgetFamily>, std::filesystem::path> shown_;
  // Last, so that it goes first: no call ends into a half-destroyed object.
  ExtensionCalls calls_;
};

}  // namespace vx::desktop
