// Colour texts as projects store them ("#0f172a"): what reads, and what falls back to black.
#include <gtest/gtest.h>

#include "ui/color.hpp"

namespace vx::ui {
namespace {

TEST(ColorHex, ReadsSixDigitsAfterTheLeadingCharacter) {
  EXPECT_EQ(Color::hex("#0f172a"), Color::rgb8(15, 23, 42));
  EXPECT_EQ(Color::hex("#FFFFFF"), Color::white());
  // The first character is dropped whatever it is, so a bare code loses its first digit.
  EXPECT_EQ(Color::hex("0f172a"), Color::rgb24(0xf172a));
  EXPECT_EQ(Color::hex("x0f172a"), Color::rgb8(15, 23, 42));
}

TEST(ColorHex, KeepsOnlyTheLow24Bits) {
  EXPECT_EQ(Color::hex("#ff0f172a"), Color::rgb8(15, 23, 42));
  EXPECT_EQ(Color::hex("#abc"), Color::rgb8(0, 0x0a, 0xbc));
}

TEST(ColorHex, UnreadableTextIsOpaqueBlack) {
  for (const char* bad :
       {"", "#", "#zz", "#0f172g", "#0f 172a", "#-1", "#+ff", "#123456789", "#0x12"}) {
    EXPECT_EQ(Color::hex(bad), Color::black()) << bad;
  }
}

}  // namespace
}  // namespace vx::ui
