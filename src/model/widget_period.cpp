#include "model/widget_period.hpp"

namespace vx {
namespace {

struct PeriodRow {
  std::string_view raw;
  int days;
  std::string_view token;
};

constexpr std::array<PeriodRow, 4> kRows = {{
    {"days7", 7, "7d"},
    {"days28", 28, "28d"},
    {"days30", 30, "30d"},
    {"days90", 90, "90d"},
}};

const PeriodRow& row(WidgetPeriod period) {
  return kRows[static_cast<std::size_t>(period)];
}

}  // namespace

std::string_view rawValue(WidgetPeriod period) {
  return row(period).raw;
}

std::optional<WidgetPeriod> widgetPeriodFromRaw(std::string_view raw) {
  for (WidgetPeriod period : kAllWidgetPeriods) {
    if (row(period).raw == raw) return period;
  }
  return std::nullopt;
}

int days(WidgetPeriod period) {
  return row(period).days;
}

std::string_view queryToken(WidgetPeriod period) {
  return row(period).token;
}

}  // namespace vx
