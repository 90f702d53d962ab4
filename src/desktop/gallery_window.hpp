#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtk/gtk.h>

#include "desktop/gallery_previews.hpp"
#include "desktop/kind_catalogue.hpp"
#include "desktop/monitor_place.hpp"
#include "desktop/placements.hpp"

namespace vx::desktop {

// The gallery's window: an ordinary application window titled "Vantorix Widgets" listing the
// kinds (name, description, how many are placed), each with a button per family showing its
// picture. Every kind and family can be reached with Tab and carries an accessible name; a
// family is chosen with a click, Return or Space. The window belongs to GTK: it lives until the
// application ends.
class GalleryWindow {
 public:
  using Chosen = std::function<void(const KindInfo&, host::WidgetFamily)>;

  GalleryWindow(GtkApplication* application, Chosen chosen);

  [[nodiscard]] GtkWindow* window() const { return GTK_WINDOW(window_); }
  // The scale of the monitor the window shows on, and that monitor's area in points.
  [[nodiscard]] int scale() const;
  [[nodiscard]] Area monitorArea() const;

  void showKinds(const std::vector<KindInfo>& kinds);
  void showPicture(const GalleryPicture& picture);
  void showCounts(const Placements& placements);
  // The line above the kinds saying why the pictures are placeholders; nothing hides it.
  void showReason(const std::optional<std::string>& reason);
  // A short notice (what a choice did, or why it did nothing); empty hides it.
  void say(const std::string& notice);

 private:
  struct KindRow {
    const KindInfo* kind = nullptr;
    GtkWidget* heading = nullptr;
    GtkWidget* count = nullptr;
    std::map<host::WidgetFamily, GtkWidget*> images;
  };
  GtkWidget* kindSection(KindRow& row);
  GtkWidget* familyButton(KindRow& row, host::WidgetFamily family);
  static void clicked(GtkButton* button, gpointer data);

  Chosen chosen_;
  GtkWidget* window_ = nullptr;
  GtkWidget* reason_ = nullptr;
  GtkWidget* notice_ = nullptr;
  GtkWidget* list_ = nullptr;
  std::vector<KindInfo> kinds_;
  std::vector<KindRow> rows_;
};

}  // namespace vx::desktop
