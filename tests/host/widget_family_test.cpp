// The one table of widget families: the names the host protocol uses and the sizes drawn at.
#include <gtest/gtest.h>

#include "host/widget_family.hpp"

namespace vx::host {
namespace {

TEST(WidgetFamily, SizesInPoints) {
  EXPECT_EQ(size(WidgetFamily::systemSmall), (WidgetSize{170, 170}));
  EXPECT_EQ(size(WidgetFamily::systemMedium), (WidgetSize{364, 170}));
  EXPECT_EQ(size(WidgetFamily::systemLarge), (WidgetSize{364, 382}));
  EXPECT_EQ(size(WidgetFamily::systemExtraLarge), (WidgetSize{748, 382}));
}

TEST(WidgetFamily, RawValuesRoundTrip) {
  for (WidgetFamily f : kAllWidgetFamilies) {
    EXPECT_EQ(widgetFamilyFromRaw(rawValue(f)), f);
  }
  EXPECT_EQ(widgetFamilyFromRaw("systemHuge"), std::nullopt);
  EXPECT_EQ(widgetFamilyFromRaw(""), std::nullopt);
}

}  // namespace
}  // namespace vx::host
