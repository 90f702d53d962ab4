#include "desktop/gallery_app.hpp"

#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include <glib-unix.h>
#include <gtk/gtk.h>
#include <nlohmann/json.hpp>

#include "config/build_config.hpp"
#include "desktop/desktop_appearance.hpp"
#include "desktop/extension_calls.hpp"
#include "desktop/gallery_placing.hpp"
#include "desktop/gallery_previews.hpp"
#include "desktop/gallery_texts.hpp"
#include "desktop/gallery_window.hpp"
#include "desktop/placement_edits.hpp"
#include "desktop/without_display.hpp"

namespace vx::desktop {
namespace {

constexpr const char* kProgram = "vantorix-widget-gallery";
constexpr std::chrono::seconds kKindsPatience{10};

// A folder of the user's own for the pictures, removed with the gallery.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    g_autofree gchar* made = g_dir_make_tmp("vantorix-gallery-XXXXXX", nullptr);
    if (made == nullptr) throw std::runtime_error("cannot make a temporary folder");
    path_ = made;
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Everything one gallery holds, from the application's start to its end.
class Gallery {
 public:
  Gallery(GtkApplication* application, const std::string& extension)
      : window_(application,
                [this](const KindInfo& kind, host::WidgetFamily family) { choose(kind, family); }),
        previews_(extension, pictures_.path()),
        calls_(extension) {
    if (auto folder = configFolder()) file_ = placementsFile(*folder);
    previews_.onSource(
        [this](PreviewSource source) { window_.showReason(placeholderReason(source)); });
    previews_.onPicture([this](const GalleryPicture& picture) { window_.showPicture(picture); });
    scheme_ = appearance_.scheme();
    followScheme();
    appearance_.follow([this](const std::string& scheme) {
      if (scheme == scheme_) return;  // also the echo of the window following it
      scheme_ = scheme;
      followScheme();
      redraw();
    });
    g_signal_connect(window_.window(), "notify::scale-factor", G_CALLBACK(scaleChanged), this);
    watchPlacements();
    calls_.call({"kinds"}, kKindsPatience,
                [this](const ExtensionCalls::Result& result) { kindsListed(result); });
  }
  ~Gallery() {
    g_signal_handlers_disconnect_by_data(window_.window(), this);
    appearance_.stopFollowing();
    if (monitor_ != nullptr) g_object_unref(monitor_);
  }
  Gallery(const Gallery&) = delete;
  Gallery& operator=(const Gallery&) = delete;

  void present() { gtk_window_present(window_.window()); }

 private:
  void kindsListed(const ExtensionCalls::Result& result) {
    try {
      const auto answer = nlohmann::json::parse(result.output, nullptr, false);
      if (!result.succeeded || answer.is_discarded()) throw std::runtime_error("no answer");
      kinds_ = kindsFromJson(answer);
    } catch (const std::exception&) {
      window_.say("The widgets could not be listed");
      return;
    }
    window_.showKinds(kinds_);
    showCounts();
    redraw();
  }

  void redraw() {
    scale_ = window_.scale();
    previews_.draw(kinds_, scheme_, scale_);
  }

  // The window itself in the desktop's light or dark appearance, as the pictures are.
  void followScheme() {
    g_object_set(gtk_settings_get_default(), "gtk-application-prefer-dark-theme",
                 scheme_ == "dark" ? TRUE : FALSE, nullptr);
  }

  static void scaleChanged(GObject*, GParamSpec*, gpointer data) {
    auto* self = static_cast<Gallery*>(data);
    if (!self->kinds_.empty() && self->window_.scale() != self->scale_) self->redraw();
  }

  void choose(const KindInfo& kind, host::WidgetFamily family) {
    if (!file_) {
      window_.say("No place to keep widgets: HOME is not set");
      return;
    }
    const Area monitor = window_.monitorArea();
    try {
      const Placements placements = updatePlacements(
          *file_, [&](Placements& edited) { placeAtFreeSpot(edited, kind, family, monitor); });
      window_.say("Placed " + familyLabel(kind, family));
      window_.showCounts(placements);
    } catch (const NoRoom& error) {
      window_.say(error.what());
    } catch (const std::exception& error) {
      window_.say(std::string("The widget could not be placed: ") + error.what());
    }
  }

  void showCounts() {
    if (!file_ || kinds_.empty()) return;
    try {
      window_.showCounts(loadPlacements(*file_));
    } catch (const std::exception& error) {
      window_.say(std::string("Your widgets cannot be read: ") + error.what());
    }
  }

  // Counts follow widgets placed or removed elsewhere (the command line, a widget's menu).
  void watchPlacements() {
    if (!file_) return;
    g_autoptr(GFile) file = g_file_new_for_path(file_->c_str());
    monitor_ = g_file_monitor_file(file, G_FILE_MONITOR_WATCH_MOVES, nullptr, nullptr);
    if (monitor_ != nullptr)
      g_signal_connect(monitor_, "changed", G_CALLBACK(placementsChanged), this);
  }
  static void placementsChanged(GFileMonitor*, GFile*, GFile*, GFileMonitorEvent, gpointer data) {
    static_cast<Gallery*>(data)->showCounts();
  }

  TemporaryFolder pictures_;
  GalleryWindow window_;
  DesktopAppearance appearance_;
  GalleryPreviews previews_;
  ExtensionCalls calls_;
  std::optional<std::filesystem::path> file_;
  GFileMonitor* monitor_ = nullptr;
  std::vector<KindInfo> kinds_;
  std::string scheme_ = "light";
  int scale_ = 1;
};

struct Running {
  std::string extension;
  std::unique_ptr<Gallery> gallery;
  int status = 0;
};

gboolean quit(gpointer application) {
  g_application_quit(G_APPLICATION(application));
  return G_SOURCE_CONTINUE;
}

void started(GApplication* application, gpointer data) {
  auto* running = static_cast<Running*>(data);
  // A selectable kind name takes the focus without selecting its text.
  g_object_set(gtk_settings_get_default(), "gtk-label-select-on-focus", FALSE, nullptr);
  try {
    running->gallery = std::make_unique<Gallery>(GTK_APPLICATION(application), running->extension);
  } catch (const std::exception& error) {
    std::cerr << "vantorix-widget-host: " << error.what() << "\n";
    running->status = 1;
    g_application_quit(application);
    return;
  }
  g_unix_signal_add(SIGTERM, quit, application);
  g_unix_signal_add(SIGINT, quit, application);
}

void activated(GApplication*, gpointer data) {
  auto* running = static_cast<Running*>(data);
  if (running->gallery) running->gallery->present();
}

void ended(GApplication*, gpointer data) {
  static_cast<Running*>(data)->gallery.reset();
}

// The application's name on the session bus; none (a gallery per start) when the build's
// identifier does not make a valid one.
std::string applicationId() {
  std::string id = std::string(config::kAppBundleId) + ".WidgetGallery";
  return g_application_id_is_valid(id.c_str()) ? id : std::string();
}

}  // namespace

int runGallery(const std::string& extension) {
  std::signal(SIGPIPE, SIG_IGN);
  g_set_prgname(kProgram);
  if (!displayNamed() || !gtk_init_check(nullptr, nullptr)) {
    std::cerr << "vantorix-widget-host: the gallery needs a display: none can be opened\n";
    return 1;
  }
  gdk_set_program_class(kProgram);
  g_set_application_name("Vantorix Widgets");
  gtk_window_set_default_icon_name("vantorix-widgets");
  const std::string id = applicationId();
  g_autoptr(GtkApplication) application =
      gtk_application_new(id.empty() ? nullptr : id.c_str(), static_cast<GApplicationFlags>(0));
  Running running{extension, nullptr, 0};
  g_signal_connect(application, "startup", G_CALLBACK(started), &running);
  g_signal_connect(application, "activate", G_CALLBACK(activated), &running);
  g_signal_connect(application, "shutdown", G_CALLBACK(ended), &running);
  char name[] = "vantorix-widget-host";
  char* argv[] = {name, nullptr};
  const int status = g_application_run(G_APPLICATION(application), 1, argv);
  return status != 0 ? status : running.status;
}

}  // namespace vx::desktop
