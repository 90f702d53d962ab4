#include "present/chart_values.hpp"

#include <algorithm>
#include <cmath>

namespace vx::present {

std::vector<double> chartValues(const std::vector<double>& values) {
  std::vector<double> clean;
  clean.reserve(values.size());
  for (double v : values) clean.push_back(std::isfinite(v) ? v : 0.0);
  return clean;
}

double largestOr(const std::vector<double>& values, double fallback) {
  if (values.empty()) return fallback;
  return *std::max_element(values.begin(), values.end());
}

}  // namespace vx::present
