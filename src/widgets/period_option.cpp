#include "widgets/period_option.hpp"

namespace vx::widgets {
namespace {

struct OptionRow {
  std::string_view raw;
  std::string_view label;
};

constexpr std::array<OptionRow, 4> kRows = {{
    {"days7", "7 days"},
    {"days28", "28 days"},
    {"days30", "30 days"},
    {"days90", "90 days"},
}};

const OptionRow& row(PeriodOption option) {
  return kRows[static_cast<std::size_t>(option)];
}

}  // namespace

std::string_view rawValue(PeriodOption option) {
  return row(option).raw;
}

std::optional<PeriodOption> periodOptionFromRaw(std::string_view raw) {
  for (PeriodOption option : kAllPeriodOptions) {
    if (row(option).raw == raw) return option;
  }
  return std::nullopt;
}

std::string_view label(PeriodOption option) {
  return row(option).label;
}

}  // namespace vx::widgets
