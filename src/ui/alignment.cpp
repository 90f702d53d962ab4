#include "ui/alignment.hpp"

namespace vx::ui {

std::string_view rawValue(HAlign a) {
  switch (a) {
    case HAlign::leading:
      return "leading";
    case HAlign::center:
      return "center";
    case HAlign::trailing:
      return "trailing";
  }
  return "leading";
}

std::string_view rawValue(VAlign a) {
  switch (a) {
    case VAlign::top:
      return "top";
    case VAlign::center:
      return "center";
    case VAlign::bottom:
      return "bottom";
    case VAlign::firstTextBaseline:
      return "firstTextBaseline";
  }
  return "top";
}

double alignOffset(HAlign a, double outer, double inner) {
  switch (a) {
    case HAlign::leading:
      return 0;
    case HAlign::center:
      return (outer - inner) / 2;
    case HAlign::trailing:
      return outer - inner;
  }
  return 0;
}

double alignOffset(VAlign a, double outer, double inner) {
  switch (a) {
    case VAlign::top:
    case VAlign::firstTextBaseline:
      return 0;
    case VAlign::center:
      return (outer - inner) / 2;
    case VAlign::bottom:
      return outer - inner;
  }
  return 0;
}

}  // namespace vx::ui
