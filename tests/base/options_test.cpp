// Reading command lines: the rules every program's options follow.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/options.hpp"

namespace vx::base {
namespace {

using Takes = OptionRule::Takes;

const std::vector<OptionRule> kRules = {{"--kind"},
                                        {"--stall", Takes::value, true},
                                        {"--preview", Takes::nothing},
                                        {"-h", Takes::nothing}};

// Every word read as "name=value" (bare words as "value"), then the mistake, if any.
std::vector<std::string> readAll(
    const std::vector<std::string>& words,
    OptionReader::Undeclared undeclared = OptionReader::Undeclared::refused) {
  OptionReader reader(words, kRules, undeclared);
  std::vector<std::string> read;
  while (auto word = reader.next()) {
    read.push_back(word->bare() ? word->value : word->name + "=" + word->value);
  }
  if (!reader.mistake().empty()) read.push_back("! " + reader.mistake());
  return read;
}

using Read = std::vector<std::string>;

TEST(OptionReaderTest, ReadsWordsAndOptionsInOrder) {
  EXPECT_EQ(readAll({"render", "--kind", "-40", "--kind2=x"}, OptionReader::Undeclared::takeValue),
            (Read{"render", "--kind=-40", "--kind2=x"}));
  EXPECT_EQ(readAll({"--kind=a=b", "--preview", "-h", "-x", "--stall", "1", "--stall=2"}),
            (Read{"--kind=a=b", "--preview=", "-h=", "-x", "--stall=1", "--stall=2"}));
  EXPECT_EQ(readAll({"--kind="}), (Read{"--kind="}));

  const std::vector<std::string> words = {"--stall", "1", "--stall", "2", "-h"};
  OptionReader reader(words, kRules);
  while (reader.next()) {
  }
  EXPECT_TRUE(reader.given("--stall") && reader.given("-h"));
  EXPECT_FALSE(reader.given("--kind"));
}

TEST(OptionReaderTest, StopsAtTheFirstMistake) {
  EXPECT_EQ(readAll({"a", "--verbose", "b"}), (Read{"a", "! unknown option \"--verbose\""}));
  EXPECT_EQ(readAll({"--kind", "a", "--kind=b"}), (Read{"--kind=a", "! --kind is given twice"}));
  EXPECT_EQ(readAll({"--preview", "--preview"}),
            (Read{"--preview=", "! --preview is given twice"}));
  EXPECT_EQ(readAll({"--preview=yes"}), (Read{"! --preview takes no value"}));
  EXPECT_EQ(readAll({"--kind"}), (Read{"! --kind needs a value"}));
  EXPECT_EQ(readAll({"--x"}, OptionReader::Undeclared::takeValue), (Read{"! --x needs a value"}));
}

TEST(OptionReaderTest, NumbersAreWholeTexts) {
  EXPECT_EQ(readNumber<int>("-40"), -40);
  EXPECT_EQ(readNumber<double>("2.5"), 2.5);
  for (const char* text : {"", " 4", "+4", "4px", "0x10", "99999999999"}) {
    EXPECT_EQ(readNumber<int>(text), std::nullopt) << text;
  }
}

TEST(OptionReaderTest, ColoursAreHashAndSixHexDigits) {
  EXPECT_TRUE(isHexColour("#3366cC"));
  for (const char* text :
       {"3366cc", "#3366c", "#3366ccc", "#3366cg", "orange", "#\xff\xff\xff\xff\xff\xff"}) {
    EXPECT_FALSE(isHexColour(text)) << text;
  }
}

}  // namespace
}  // namespace vx::base
