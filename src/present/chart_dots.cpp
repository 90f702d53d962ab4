#include "present/chart_dots.hpp"

#include <algorithm>
#include <cmath>

#include "present/chart_values.hpp"

namespace vx::present {

namespace {

constexpr std::size_t kMostDotDays = 31;
constexpr double kMostDotsPerDay = 4;
constexpr double kDotGap = 2;

bool isWhole(double v) {
  return v == std::round(v);
}  // std::round: half away from zero

double baseDotSize(double height) {
  if (height < 30) return 7;
  if (height < 50) return 9;
  return 12;
}

}  // namespace

bool countsAsDots(const std::vector<double>& values) {
  if (values.size() > kMostDotDays) return false;
  if (values.empty()) return true;
  const std::vector<double> v = chartValues(values);
  return largestOr(v, 0) <= kMostDotsPerDay && std::all_of(v.begin(), v.end(), isWhole);
}

double dotSize(double width, double height, const std::vector<double>& values) {
  const std::vector<double> v = chartValues(values);
  double peak = largestOr(v, 1);
  if (peak < 1) peak = 1;
  const double base = baseDotSize(height);
  const double byWidth = width / static_cast<double>(std::max<std::size_t>(v.size(), 1)) - 1.5;
  const double byHeight = (height - kDotGap * (peak - 1)) / peak;
  return std::min(byHeight, std::min(base, byWidth));
}

}  // namespace vx::present
