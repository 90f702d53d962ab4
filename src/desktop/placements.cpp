#include "desktop/placements.hpp"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <sys/random.h>

#include "base/options.hpp"
#include "desktop/private_folder.hpp"
#include "desktop/whole_number.hpp"
#include "model/json_fields.hpp"
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

int coordinate(const fields::Field& field) {
  const std::int64_t number = wholeNumber(field);
  if (number < -1'000'000 || number > 1'000'000) field.fail("out of range");
  return static_cast<int>(number);
}

Placement placementFrom(const fields::Field& entry) {
  Placement placement;
  const fields::Field id = entry.member("id");
  placement.id = id.text();
  if (placement.id.empty()) id.fail("empty");
  placement.kind = entry.member("kind").text();
  const fields::Field family = entry.member("family");
  const auto known = host::widgetFamilyFromRaw(family.text());
  if (!known) family.fail("not a family");
  placement.family = *known;
  const fields::Field configuration = entry.member("configuration");
  configuration.requireObject();
  placement.configuration = configuration.value();
  const fields::Field position = entry.member("position");
  placement.position = {coordinate(position.member("x")), coordinate(position.member("y"))};
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
    if (const auto number = base::readNumber<unsigned long long>(placement.id)) {
      largest = std::max(largest, *number);
    }
  }
  // Ids past the largest number (only a hand-edited file has them) leave the smallest free one.
  unsigned long long next = largest + 1;
  if (next == 0) {
    next = 1;
    while (find(std::to_string(next)) != nullptr) ++next;
  }
  return std::to_string(next);
}

bool isWidgetId(std::string_view id) {
  constexpr std::size_t kLongest = 64;
  return !id.empty() && id.size() <= kLongest && std::all_of(id.begin(), id.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
  });
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
  try {
    const fields::Field root = fields::root(document);
    Placements placements;
    // A token, when there is one, is a text: null is refused too (the host never writes it).
    if (document.contains("pushToken")) placements.pushToken = root.member("pushToken").text();
    const fields::Field widgets = root.member("widgets");
    placements.widgets = widgets.list<Placement>(placementFrom);
    for (std::size_t i = 0; i < placements.widgets.size(); ++i) {
      if (placements.find(placements.widgets[i].id) != &placements.widgets[i]) {
        widgets.fail("widget id " + placements.widgets[i].id + " twice");
      }
    }
    return placements;
  } catch (const fields::DecodeError& error) {
    bad(error.what());
  }
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
  try {
    makePrivateFolder(file.parent_path());
  } catch (const std::runtime_error& error) {
    bad(error.what());
  }
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
