#include "refresh/percent_encoding.hpp"

#include <gtest/gtest.h>

namespace vx::refresh {
namespace {

TEST(PercentEncoded, KeepsOnlyAsciiLettersAndDigits) {
  EXPECT_EQ(percentEncoded("a b/c"), "a%20b%2Fc");
  EXPECT_EQ(percentEncoded("Goal42"), "Goal42");
  EXPECT_EQ(percentEncoded("a-b_c.d~e&f=g?h#i%j+k"), "a%2Db%5Fc%2Ed%7Ee%26f%3Dg%3Fh%23i%25j%2Bk");
  EXPECT_EQ(percentEncoded(""), "");
}

TEST(PercentEncoded, EncodesEveryByteOfOtherCharactersInUpperCaseHex) {
  EXPECT_EQ(percentEncoded("caf\xC3\xA9"), "caf%C3%A9");
  EXPECT_EQ(percentEncoded("\xE2\x82\xAC"), "%E2%82%AC");
  EXPECT_EQ(percentEncoded("a\xFF"), "a%FF");  // not UTF-8: still never raw
}

}  // namespace
}  // namespace vx::refresh
