#include "model/json_fields.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace vx::fields {
namespace {

std::string failurePath(const std::string& document,
                        const std::function<void(const Field&)>& read) {
  nlohmann::json parsed = parse(document);
  try {
    read(root(parsed));
  } catch (const DecodeError& error) {
    return error.path();
  }
  return "(no failure)";
}

TEST(JsonFieldsTest, ErrorsNameTheMemberPath) {
  auto readSlugs = [](const Field& doc) {
    (void)doc.member("data").list<std::string>(
        [](const Field& e) { return e.member("slug").text(); });
  };
  EXPECT_EQ(failurePath(R"({"data":[{"slug":"a"},{"slug":"b"},{"slug":"c"},{}]})", readSlugs),
            "data[3].slug");
  EXPECT_EQ(failurePath(R"({"data":{}})", readSlugs), "data");
  EXPECT_EQ(failurePath(R"([])", readSlugs), "$");
}

TEST(JsonFieldsTest, IntegersAreStrictAboutFractionsAndRange) {
  auto integer = [](const std::string& text) {
    nlohmann::json parsed = parse(text);
    return root(parsed).integer();
  };
  EXPECT_EQ(integer("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(integer("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(integer("12.0"), 12);
  EXPECT_THROW(integer("12.5"), DecodeError);
  EXPECT_THROW(integer("9223372036854775808"), DecodeError);
  EXPECT_THROW(integer("1e19"), DecodeError);
  EXPECT_THROW(integer("\"12\""), DecodeError);
  EXPECT_THROW(integer("true"), DecodeError);
}

TEST(JsonFieldsTest, NullAndMissingAreAbsentButRequiredMembersFail) {
  nlohmann::json parsed = parse(R"({"a": null})");
  Field doc = root(parsed);
  EXPECT_FALSE(doc.member("a").optionalText());
  EXPECT_FALSE(doc.member("b").optionalReal());
  EXPECT_THROW((void)doc.member("a").text(), DecodeError);
  EXPECT_THROW((void)doc.member("b").boolean(), DecodeError);
  EXPECT_THROW((void)parse("{oops}"), DecodeError);
}

}  // namespace
}  // namespace vx::fields
