#include "host/widget_family.hpp"

namespace vx::host {
namespace {

struct FamilyRow {
  std::string_view raw;
  WidgetSize size;
};

constexpr std::array<FamilyRow, 4> kRows = {{
    {"systemSmall", {170, 170}},
    {"systemMedium", {364, 170}},
    {"systemLarge", {364, 382}},
    {"systemExtraLarge", {748, 382}},
}};

const FamilyRow& row(WidgetFamily family) {
  return kRows[static_cast<std::size_t>(family)];
}

}  // namespace

std::string_view rawValue(WidgetFamily family) {
  return row(family).raw;
}

std::optional<WidgetFamily> widgetFamilyFromRaw(std::string_view raw) {
  for (WidgetFamily family : kAllWidgetFamilies) {
    if (row(family).raw == raw) return family;
  }
  return std::nullopt;
}

WidgetSize size(WidgetFamily family) {
  return row(family).size;
}

}  // namespace vx::host
