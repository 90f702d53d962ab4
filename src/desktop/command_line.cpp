#include "desktop/command_line.hpp"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include <unistd.h>

#include <nlohmann/json.hpp>

#include "base/options.hpp"
#include "config/build_config.hpp"
#include "desktop/editor_window.hpp"
#include "desktop/extension_process.hpp"
#include "desktop/gallery_app.hpp"
#include "desktop/host_loop.hpp"
#include "desktop/kind_catalogue.hpp"
#include "desktop/notification_permissions.hpp"
#include "desktop/placement_check.hpp"
#include "desktop/placement_edits.hpp"
#include "desktop/placements.hpp"
#include "desktop/socket_server.hpp"
#include "desktop/window_host.hpp"
#include "desktop/without_display.hpp"
#include "host/host_socket.hpp"

namespace vx::desktop {
namespace {

using Json = nlohmann::json;

constexpr const char* kUsage =
    "usage: vantorix-widget-host COMMAND [options]\n"
    "  place --kind K --family F [configuration] [--x N --y N]   place a widget, print its id\n"
    "  configure ID [--family F] [configuration] [--x N --y N]   change a placed widget\n"
    "  list                                                      the placed widgets as JSON\n"
    "  remove ID                                                 remove a placed widget\n"
    "  edit ID                                                   a window to edit a widget\n"
    "  notifications --app APP allow|deny|ask                    answer for an application\n"
    "  run [--headless --output DIR] [--scheme light|dark] [--scale N]\n"
    "      [--mode full|accented --tint #RRGGBB]\n"
    "      [--notifications allow|deny] [--app APP]              show the widgets: in windows,\n"
    "                                                            or headless as images in DIR\n"
    "  gallery                                                   a window to add widgets from\n"
    "configuration: the options of the kind's parameters, as `vantorix-widgets kinds` lists\n"
    "them: --project SLUG, --period days7|days28|days30|days90, --show-details true|false\n"
    "every command: --extension PATH (the vantorix-widgets program; default: the one beside "
    "this)\n";

std::string defaultExtension() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    for (const auto& candidate :
         {self.parent_path() / "vantorix-widgets",
          self.parent_path().parent_path() / "widgets" / "vantorix-widgets"}) {
      if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
    }
  }
  return "vantorix-widgets";
}

std::filesystem::path folderOrFail() {
  auto folder = configFolder();
  if (!folder) throw std::runtime_error("no configuration folder: set HOME or XDG_CONFIG_HOME");
  return *folder;
}

// How long the extension may take: to list its kinds (at once, from memory), and to withdraw
// the push token (one request to the service, which gives up after 15 s without progress).
constexpr std::chrono::seconds kKindsPatience{10};
constexpr std::chrono::seconds kWithdrawalPatience{60};

std::vector<KindInfo> askKinds(const std::string& extension) {
  ExtensionRun run;
  try {
    run = runExtension(extension, {"kinds"}, kKindsPatience);
  } catch (const std::exception& error) {
    throw std::runtime_error("the extension did not list its kinds: " + std::string(error.what()));
  }
  const Json answer = Json::parse(run.output, nullptr, false);
  if (run.status != 0 || answer.is_discarded()) {
    throw std::runtime_error("the extension " + extension + " did not list its kinds");
  }
  return kindsFromJson(answer);
}

int number(const std::string& option, const std::string& text) {
  const auto value = base::readNumber<int>(text);
  if (!value || *value < -1'000'000 || *value > 1'000'000) {
    throw UsageError("--" + option + " takes a whole number");
  }
  return *value;
}

host::WidgetFamily familyFor(const KindInfo& kind, const std::string& text) {
  const auto family = host::widgetFamilyFromRaw(text);
  if (!family || !kind.offers(*family)) {
    throw UsageError(kind.kind + " comes in " + familiesOf(kind) + ", not \"" + text + "\"");
  }
  return *family;
}

// Applies the options left in `arguments` (family, position, configuration) to `placement`.
void apply(Placement& placement, const KindInfo& kind, Arguments& arguments) {
  if (auto family = arguments.take("family")) placement.family = familyFor(kind, *family);
  if (auto x = arguments.take("x")) placement.position.x = number("x", *x);
  if (auto y = arguments.take("y")) placement.position.y = number("y", *y);
  try {
    placement.configuration = configure(kind, placement.configuration, arguments.options);
  } catch (const std::invalid_argument& error) {
    throw UsageError(error.what());
  }
}

int place(Arguments arguments, const std::string& extension) {
  const auto kindName = arguments.take("kind");
  if (!kindName) throw UsageError("place needs --kind");
  if (!arguments.options.contains("family")) throw UsageError("place needs --family");
  const std::vector<KindInfo> kinds = askKinds(extension);
  const KindInfo* kind = findKind(kinds, *kindName);
  if (kind == nullptr) throw UsageError("unknown widget kind \"" + *kindName + "\"");
  Placement placement;
  placement.kind = kind->kind;
  placement.configuration = defaultConfiguration(*kind);
  apply(placement, *kind, arguments);
  updatePlacements(placementsFile(folderOrFail()), [&](Placements& placements) {
    placement.id = placements.nextId();
    if (placements.pushToken.empty()) placements.pushToken = newPushToken();
    placements.widgets.push_back(placement);
  });
  std::cout << placement.id << "\n";
  return 0;
}

int configureWidget(Arguments arguments, const std::string& extension) {
  if (arguments.words.size() != 1) throw UsageError("configure takes one widget id");
  const std::string& id = arguments.words.front();
  if (loadPlacements(placementsFile(folderOrFail())).find(id) == nullptr) {
    std::cerr << "vantorix-widget-host: no widget " << id << "\n";
    return 1;
  }
  const std::vector<KindInfo> kinds = askKinds(extension);
  updatePlacements(placementsFile(folderOrFail()), [&](Placements& placements) {
    Placement* placement = placements.find(id);
    if (placement == nullptr) throw std::runtime_error("widget " + id + " was removed meanwhile");
    const KindInfo* kind = findKind(kinds, placement->kind);
    if (kind == nullptr)
      throw std::runtime_error("the extension no longer offers " + placement->kind);
    apply(*placement, *kind, arguments);
  });
  return 0;
}

// The placed widgets; one the host cannot show carries its "problem". When the extension cannot
// list its kinds, only the ids are checked, and the listing says so on standard error.
int list(const Arguments& arguments, const std::string& extension) {
  if (!arguments.words.empty()) {
    throw UsageError("list takes no word \"" + arguments.words.front() + "\"");
  }
  if (!arguments.options.empty()) {
    throw UsageError("list takes no option --" + arguments.options.begin()->first);
  }
  const Placements placements = loadPlacements(placementsFile(folderOrFail()));
  std::vector<KindInfo> kinds;
  bool checked = true;
  if (!placements.widgets.empty()) {
    try {
      kinds = askKinds(extension);
    } catch (const std::exception& error) {
      std::cerr << "vantorix-widget-host: " << error.what() << "\n";
      checked = false;
    }
  }
  Json widgets = toJson(placements).at("widgets");
  for (std::size_t i = 0; i < placements.widgets.size(); ++i) {
    const Placement& placement = placements.widgets[i];
    if (!checked && isWidgetId(placement.id)) continue;
    if (auto problem = placementProblem(placement, kinds)) widgets[i]["problem"] = *problem;
  }
  std::cout << widgets.dump(2) << "\n";
  return 0;
}

// Removes a widget. When it was the last one, the extension is told that no widget uses the
// push token any more, so that it withdraws the token from the service.
int removeWidget(const Arguments& arguments, const std::string& extension) {
  if (arguments.words.size() != 1 || !arguments.options.empty()) {
    throw UsageError("remove takes one widget id");
  }
  struct NoSuchWidget {};
  Placements placements;
  try {
    placements = updatePlacements(placementsFile(folderOrFail()), [&](Placements& all) {
      if (std::erase_if(all.widgets,
                        [&](const Placement& p) { return p.id == arguments.words.front(); }) == 0)
        throw NoSuchWidget{};
    });
  } catch (const NoSuchWidget&) {
    std::cerr << "vantorix-widget-host: no widget " << arguments.words.front() << "\n";
    return 1;
  }
  if (placements.widgets.empty() && !placements.pushToken.empty()) {
    const Json handOver = {
        {"id", 1}, {"op", "pushTokenDidChange"}, {"token", placements.pushToken}, {"widgets", 0}};
    const ExtensionRun run =
        runExtension(extension, {"serve"}, kWithdrawalPatience, handOver.dump());
    const Json answer = Json::parse(run.output, nullptr, false);
    if (run.status != 0 || !answer.is_object() || !answer.contains("result")) {
      std::cerr << "vantorix-widget-host: the extension did not take the withdrawal\n";
      return 1;
    }
  }
  return 0;
}

// A window to change a placed widget's configuration, saved as `configure` saves it.
int edit(const Arguments& arguments, const std::string& extension) {
  if (arguments.words.size() != 1 || !arguments.options.empty()) {
    throw UsageError("edit takes one widget id");
  }
  const auto file = placementsFile(folderOrFail());
  const Placements placements = loadPlacements(file);
  const Placement* placement = placements.find(arguments.words.front());
  if (placement == nullptr) {
    std::cerr << "vantorix-widget-host: no widget " << arguments.words.front() << "\n";
    return 1;
  }
  const std::vector<KindInfo> kinds = askKinds(extension);
  const KindInfo* kind = findKind(kinds, placement->kind);
  if (kind == nullptr)
    throw std::runtime_error("the extension no longer offers " + placement->kind);
  return runEditor({file, *placement, *kind, extension});
}

int notifications(Arguments arguments) {
  const auto app = arguments.take("app");
  if (!app || app->empty() || arguments.words.size() != 1 || !arguments.options.empty()) {
    throw UsageError("notifications takes --app APP and allow, deny or ask");
  }
  const std::string& answer = arguments.words.front();
  Authorization status = Authorization::notDetermined;
  if (answer == "allow") {
    status = Authorization::authorized;
  } else if (answer == "deny") {
    status = Authorization::denied;
  } else if (answer != "ask") {
    throw UsageError("notifications takes allow, deny or ask");
  }
  NotificationPermissions(notificationsFile(folderOrFail()), config::kAppBundleId)
      .store(*app, status);
  return 0;
}

// One host per user: a second one (an autostart beside the user service, say) ends at once.
// Asking wakes a host that the service manager holds the socket for.
bool alreadyServed(const host::SocketPlace& socket) {
  if (socketHandedOver() || !socket.path || !someoneListensOn(*socket.path)) return false;
  std::cerr << "vantorix-widget-host: another host already serves " << *socket.path
            << ": this one ends\n";
  return true;
}

int run(Arguments arguments, const std::string& extension) {
  HostOptions options;
  options.extension = extension;
  options.folder = folderOrFail();
  options.app = arguments.take("app").value_or(config::kAppBundleId);
  const bool headless = arguments.takeFlag("headless");
  const auto output = arguments.take("output");
  if (headless && (!output || output->empty()))
    throw UsageError("run --headless needs --output DIR");
  if (output) {
    options.output = std::filesystem::absolute(*output);
  } else {
    // Windows draw from images the host keeps for itself.
    options.output = options.folder / "images";
  }
  options.scheme = arguments.take("scheme").value_or("light");
  if (options.scheme != "light" && options.scheme != "dark") {
    throw UsageError("--scheme takes light or dark");
  }
  options.mode = arguments.take("mode").value_or("full");
  options.tint = arguments.take("tint");
  if (options.mode != "full" && options.mode != "accented") {
    throw UsageError("--mode takes full or accented");
  }
  if (options.tint.has_value() != (options.mode == "accented") ||
      (options.tint && !base::isHexColour(*options.tint))) {
    throw UsageError("accented mode takes --tint #RRGGBB, and only it does");
  }
  const auto scale = arguments.take("scale");
  if (scale) options.scale = number("scale", *scale);
  if (options.scale < 1 || options.scale > 4) throw UsageError("--scale takes 1 to 4");
  if (auto answer = arguments.take("notifications")) {
    if (*answer == "allow") {
      options.unattendedAnswer = Authorization::authorized;
    } else if (*answer == "deny") {
      options.unattendedAnswer = Authorization::denied;
    } else {
      throw UsageError("--notifications takes allow or deny");
    }
  }
  if (!arguments.words.empty()) {
    throw UsageError("run takes no word \"" + arguments.words.front() + "\"");
  }
  if (!arguments.options.empty()) {
    throw UsageError("run takes no option --" + arguments.options.begin()->first);
  }
  options.socket = host::widgetHostSocketPlace();
  if (alreadyServed(options.socket)) return 0;
  if (!headless && !displayNamed()) return runWithoutDisplay(options);
  // An extension that cannot be started, or does not answer, would leave every widget blank.
  options.kinds = askKinds(extension);
  return headless ? runHost(options) : runWindowed(options, scale.has_value());
}

int gallery(const Arguments& arguments, const std::string& extension) {
  if (!arguments.words.empty() || !arguments.options.empty()) {
    throw UsageError("gallery takes no word or option but --extension");
  }
  return runGallery(extension);
}

}  // namespace

std::optional<std::string> Arguments::take(const std::string& name) {
  const auto found = options.find(name);
  if (found == options.end()) return std::nullopt;
  std::string value = std::move(found->second);
  options.erase(found);
  return value;
}

bool Arguments::takeFlag(const std::string& name) {
  const auto found = std::find(flags.begin(), flags.end(), name);
  if (found == flags.end()) return false;
  flags.erase(found);
  return true;
}

Arguments parseArguments(const std::vector<std::string>& words,
                         const std::vector<std::string>& flagNames) {
  // Flags may be repeated; the configuration options are the kinds' parameters, known once the
  // extension has listed them, so any other option takes a value here.
  std::vector<base::OptionRule> rules;
  for (const std::string& flag : flagNames) {
    rules.push_back({flag, base::OptionRule::Takes::nothing, true});
  }
  base::OptionReader reader(words, rules, base::OptionReader::Undeclared::takeValue);
  Arguments arguments;
  while (auto word = reader.next()) {
    if (word->bare()) {
      arguments.words.push_back(std::move(word->value));
    } else if (std::find(flagNames.begin(), flagNames.end(), word->name) != flagNames.end()) {
      arguments.flags.push_back(word->name.substr(2));
    } else {
      arguments.options[word->name.substr(2)] = std::move(word->value);
    }
  }
  if (!reader.mistake().empty()) throw UsageError(reader.mistake());
  return arguments;
}

int runCommandLine(const std::vector<std::string>& argv) {
  if (argv.size() == 2 && argv[1] == "--help") {
    std::cout << kUsage;
    return 0;
  }
  try {
    if (argv.size() < 2) throw UsageError("no command");
    const std::string command = argv[1];
    Arguments arguments =
        parseArguments(std::vector<std::string>(argv.begin() + 2, argv.end()), {"--headless"});
    const std::string extension = arguments.take("extension").value_or(defaultExtension());
    if (command != "run" && !arguments.flags.empty()) {
      throw UsageError("--" + arguments.flags.front() + " belongs to run");
    }
    if (command == "place") return place(std::move(arguments), extension);
    if (command == "configure") return configureWidget(std::move(arguments), extension);
    if (command == "list") return list(arguments, extension);
    if (command == "remove") return removeWidget(arguments, extension);
    if (command == "edit") return edit(arguments, extension);
    if (command == "notifications") return notifications(std::move(arguments));
    if (command == "run") return run(std::move(arguments), extension);
    if (command == "gallery") return gallery(arguments, extension);
    throw UsageError("unknown command \"" + command + "\"");
  } catch (const UsageError& error) {
    std::cerr << "vantorix-widget-host: " << error.what() << "\n" << kUsage;
    return 2;
  } catch (const std::exception& error) {
    std::cerr << "vantorix-widget-host: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace vx::desktop
