#include "host/bundle.hpp"

#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>
#include <vector>

#include <glib.h>

namespace vx::host {
namespace {

constexpr std::string_view kIdentifierKey = "CFBundleIdentifier";

struct MainBundle {
  std::mutex mutex;
  std::shared_ptr<const Bundle> bundle;
};

MainBundle& mainBundle() {
  static MainBundle state;
  return state;
}

std::optional<std::string> readWholeFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return bytes;
}

// Walks a property list looking for one key of its top-level dictionary. Elements are tracked
// on a stack: the top-level dictionary's children sit at depth 3 ("plist" > "dict" > child).
// Each "key" child names the value element that follows it.
class PlistScan {
 public:
  explicit PlistScan(std::string_view wanted) : wanted_(wanted) {}

  std::optional<std::string> run(std::string_view document) {
    GMarkupParser parser{};
    parser.start_element = &PlistScan::onStart;
    parser.end_element = &PlistScan::onEnd;
    parser.text = &PlistScan::onText;
    g_autoptr(GMarkupParseContext) context =
        g_markup_parse_context_new(&parser, G_MARKUP_DEFAULT_FLAGS, this, nullptr);
    g_autoptr(GError) error = nullptr;
    const bool parsed =
        g_markup_parse_context_parse(context, document.data(), static_cast<gssize>(document.size()),
                                     &error) &&
        g_markup_parse_context_end_parse(context, &error);
    // A document that is not well formed yields nothing, even when the key came before the fault.
    if (!parsed || !wellShaped_) return std::nullopt;
    return found_;
  }

 private:
  static constexpr std::size_t kEntryDepth = 3;

  static void onStart(GMarkupParseContext*, const gchar* name, const gchar**, const gchar**,
                      gpointer self, GError**) {
    static_cast<PlistScan*>(self)->start(name);
  }
  static void onEnd(GMarkupParseContext*, const gchar*, gpointer self, GError**) {
    static_cast<PlistScan*>(self)->end();
  }
  static void onText(GMarkupParseContext*, const gchar* text, gsize length, gpointer self,
                     GError**) {
    static_cast<PlistScan*>(self)->appendText(std::string_view(text, length));
  }

  void start(std::string_view name) {
    stack_.emplace_back(name);
    if (stack_.size() == 1) wellShaped_ = name == "plist";
    if (stack_.size() == 2 && name != "dict") wellShaped_ = false;
    if (stack_.size() == kEntryDepth) text_.clear();
  }

  void end() {
    if (stack_.size() == kEntryDepth) finishEntry(stack_.back());
    stack_.pop_back();
  }

  void appendText(std::string_view text) {
    if (stack_.size() == kEntryDepth) text_.append(text);
  }

  void finishEntry(const std::string& element) {
    if (element == "key") {
      pendingKey_ = text_;
      return;
    }
    // Any other element is the value of the key before it (or a stray value without one).
    if (pendingKey_ && *pendingKey_ == wanted_ && !found_ && element == "string") found_ = text_;
    pendingKey_.reset();
  }

  std::string_view wanted_;
  std::vector<std::string> stack_;
  std::string text_;
  std::optional<std::string> pendingKey_;
  std::optional<std::string> found_;
  bool wellShaped_ = false;
};

}  // namespace

Bundle::Bundle(std::filesystem::path location) : location_(std::move(location)) {}

std::shared_ptr<const Bundle> Bundle::main() {
  auto& state = mainBundle();
  std::lock_guard lock(state.mutex);
  if (!state.bundle) state.bundle = std::make_shared<const Bundle>(defaultBundleLocation());
  return state.bundle;
}

void Bundle::useLocation(std::filesystem::path location) {
  auto& state = mainBundle();
  std::lock_guard lock(state.mutex);
  state.bundle = std::make_shared<const Bundle>(std::move(location));
}

void Bundle::useDefaultLocation() {
  auto& state = mainBundle();
  std::lock_guard lock(state.mutex);
  state.bundle.reset();
}

std::filesystem::path Bundle::contentsFile(std::string_view name) const {
  return location_ / "Contents" / name;
}

const std::optional<std::string>& Bundle::identifier() const {
  std::call_once(identifierOnce_, [this] { identifier_ = infoString(kIdentifierKey); });
  return identifier_;
}

std::optional<std::string> Bundle::infoString(std::string_view key) const {
  return plistString(infoPlist(), key);
}

std::filesystem::path defaultBundleLocation() {
  std::error_code error;
  auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || executable.empty()) return {};
  executable += ".bundle";
  return executable;
}

std::optional<std::string> plistString(const std::filesystem::path& file, std::string_view key) {
  auto document = readWholeFile(file);
  if (!document) return std::nullopt;
  return plistStringIn(*document, key);
}

std::optional<std::string> plistStringIn(std::string_view document, std::string_view key) {
  return PlistScan(key).run(document);
}

}  // namespace vx::host
