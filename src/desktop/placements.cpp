#include "desktop/placements.hpp"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <sys/random.h>
#include <sys/stat.h>

#include "store/atomic_write.hpp"

namespace vx::desktop {
namespace {

using Json = nlohmann::json;

std::optional<std::filesystem::path> absoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  std::filesystem::path path(value);
  if (!path.is_absolute()) return std::nullopt;
  return path;
}

[[noreturn]] void bad(const std::string& what) {
  throw std::runtime_error("placements file: " + what);
}

const Json& member(const Json& object, const char* name, Json::value_t type, const char* what) {
  const auto found = object.find(name);
  if (found == object.end() || found->type() != type) {
    bad(std::string("\"") + name + "\" must be " + what);
  }
  return *found;
}

int coordinate(const Json& position, const char* name) {
  const Json& value = position.at(name);
  if (!value.is_number_integer()) bad(std::string("position \"") + name + "\" must be an integer");
  const auto number = value.get<std::int64_t>();
  if (number < -1'000'000 || number > 1'000'000) bad("position out of range");
  return static_cast<int>(number);
}

Placement placementFromJson(const Json& entry) {
  if (!entry.is_object()) bad("every widget must be an object");
  Placement placement;
  placement.id = member(entry, "id", Json::value_t::string, "a text").get<std::string>();
  if (placement.id.empty()) bad("a widget has an empty id");
  placement.kind = member(entry, "kind", Json::value_t::string, "a text").get<std::string>();
  const auto family = host::widgetFamilyFromRaw(
      member(entry, "family", Json::value_t::string, "a text").get_ref<const std::string&>());
  if (!family) bad("widget " + placement.id + " has an unknown family");
  placement.family = *family;
  placement.configuration = member(entry, "configuration", Json::value_t::object, "an object");
  const Json& position = member(entry, "position", Json::value_t::object, "an object");
  if (!position.contains("x") || !position.contains("y")) bad("a position needs x and y");
  placement.position = {coordinate(position, "x"), coordinate(position, "y")};
  return placement;
}

}  // namespace

const Placement* Placements::find(const std::string& id) const {
  for (const Placement& placement : widgets) {
    if (placement.id == id) return &placement;
  }
  return nullptr;
}

Placement* Placements::find(const std::string& id) {
  return const_cast<Placement*>(std::as_const(*this).find(id));
}

std::string Placements::nextId() const {
  unsigned long long largest = 0;
  for (const Placement& placement : widgets) {
    char* end = nullptr;
    const unsigned long long number = std::strtoull(placement.id.c_str(), &end, 10);
    if (end != nullptr && *end == '\0' && number > largest) largest = number;
  }
  return std::to_string(largest + 1);
}

std::optional<std::filesystem::path> configFolder() {
  if (auto config = absoluteVariable("XDG_CONFIG_HOME")) return *config / "vantorix-widget-host";
  if (auto home = absoluteVariable("HOME")) return *home / ".config" / "vantorix-widget-host";
  return std::nullopt;
}

std::filesystem::path placementsFile(const std::filesystem::path& folder) {
  return folder / "widgets.json";
}

Json toJson(const Placements& placements) {
  Json widgets = Json::array();
  for (const Placement& placement : placements.widgets) {
    widgets.push_back({{"id", placement.id},
                       {"kind", placement.kind},
                       {"family", std::string(host::rawValue(placement.family))},
                       {"configuration", placement.configuration},
                       {"position", {{"x", placement.position.x}, {"y", placement.position.y}}}});
  }
  return {{"pushToken", placements.pushToken}, {"widgets", widgets}};
}

Placements placementsFromJson(const Json& document) {
  if (!document.is_object()) bad("expected a JSON object");
  Placements placements;
  if (const auto token = document.find("pushToken"); token != document.end()) {
    if (!token->is_string()) bad("\"pushToken\" must be a text");
    placements.pushToken = token->get<std::string>();
  }
  for (const Json& entry : member(document, "widgets", Json::value_t::array, "a list")) {
    Placement placement = placementFromJson(entry);
    if (placements.find(placement.id) != nullptr) bad("widget id " + placement.id + " twice");
    placements.widgets.push_back(std::move(placement));
  }
  return placements;
}

Placements loadPlacements(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::error_code error;
    if (!std::filesystem::exists(file, error) && !error) return {};
    bad("cannot read " + file.string());
  }
  std::ostringstream text;
  text << in.rdbuf();
  const Json document = Json::parse(text.str(), nullptr, false);
  if (document.is_discarded()) bad(file.string() + " is not JSON");
  return placementsFromJson(document);
}

void savePlacements(const std::filesystem::path& file, const Placements& placements) {
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  if (error) bad("cannot create " + file.parent_path().string() + ": " + error.message());
  ::chmod(file.parent_path().c_str(), 0700);
  if (auto failure = store::writeAtomically(file, toJson(placements).dump(2) + "\n", 0600)) {
    bad(failure->description());
  }
}

std::string newPushToken() {
  unsigned char bytes[32];
  std::size_t filled = 0;
  while (filled < sizeof bytes) {
    const ssize_t got = ::getrandom(bytes + filled, sizeof bytes - filled, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("no random bytes for a push token");
    }
    filled += static_cast<std::size_t>(got);
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0f];
  }
  return hex;
}

}  // namespace vx::desktop
