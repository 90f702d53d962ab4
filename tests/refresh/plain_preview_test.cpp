#include "refresh/plain_preview.hpp"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace vx::refresh {
namespace {

TEST(PlainPreview, NothingEmptyOrBlankGivesTheEmptyText) {
  EXPECT_EQ(plainPreview(std::nullopt), "");
  EXPECT_EQ(plainPreview(""), "");
  EXPECT_EQ(plainPreview("  \n\t \u00a0\u2003 "), "");
}

TEST(PlainPreview, TakesTheTextOutOfAnAssistantAnswer) {
  EXPECT_EQ(plainPreview(R"({"response": "**Hi** there"})"), "Hi there");
  EXPECT_EQ(plainPreview(R"( {"options": ["Yes", "No"]} )"), "Yes, No");
}

TEST(PlainPreview, UsesTheFirstStringOfResponseTextMessageContent) {
  EXPECT_EQ(plainPreview(R"({"content": "d", "message": "c", "text": 2, "response": null})"), "c");
  EXPECT_EQ(plainPreview(R"({"text": "", "options": ["Yes"]})"), "");
  EXPECT_EQ(plainPreview(R"({"options": [], "other": 1})"), "");
}

TEST(PlainPreview, OtherJsonIsPreviewedAsItsOwnText) {
  EXPECT_EQ(plainPreview(R"({"status": "ok"})"), R"({"status": "ok"})");
  // Options holding anything but strings are not a list of answers.
  EXPECT_EQ(plainPreview(R"({"options": ["Yes", 2]})"), R"({"options": ["Yes", 2]})");
  EXPECT_EQ(plainPreview(R"({"response": "unterminated)"), R"({"response": "unterminated)");
  EXPECT_EQ(plainPreview(R"(["response"])"), R"(["response"])");
}

TEST(PlainPreview, KeepsOnlyTheTextOfLinksAndImages) {
  EXPECT_EQ(plainPreview("See [docs](https://example.com/docs) first"), "See docs first");
  EXPECT_EQ(plainPreview("![logo](https://example.com/logo.png)"), "logo");
}

TEST(PlainPreview, RemovesTagsHeadingsAndEmphasis) {
  EXPECT_EQ(plainPreview("# Title\n\nBody &amp; more"), "Title Body & more");
  EXPECT_EQ(plainPreview("a__b__c"), "abc");
  EXPECT_EQ(plainPreview("<p>Hello <b>you</b></p>"), "Hello you");
  EXPECT_EQ(plainPreview("intro\n### Part *one* and `code` ~~gone~~"),
            "intro Part one and code gone");
  // Markers never pair across a line break.
  EXPECT_EQ(plainPreview("*not\nitalic*"), "*not italic*");
}

TEST(PlainPreview, DecodesEntitiesOnceInOrder) {
  EXPECT_EQ(plainPreview("a&nbsp;b &lt;tag&gt; &quot;q&quot; it&#39;s"), "a b <tag> \"q\" it's");
  EXPECT_EQ(plainPreview("&amp;lt; stays escaped"), "&lt; stays escaped");
  // Tags are removed before entities are decoded, so decoded text is kept.
  EXPECT_EQ(plainPreview("1 &lt;b&gt; 2"), "1 <b> 2");
}

TEST(PlainPreview, CollapsesUnicodeWhiteSpaceIntoSingleBlanks) {
  EXPECT_EQ(plainPreview("\u2003 one\r\n\ttwo\u00a0\u00a0three \u3000"), "one two three");
}

TEST(PlainPreview, InvalidUtf8IsReplacedNotDropped) {
  EXPECT_EQ(plainPreview("ok \xff done"), "ok \xef\xbf\xbd done");
}

// Texts that make a backtracking matcher work quadratically; each must still come back.
TEST(PlainPreview, HostileMessagesFinishWithASensibleLine) {
  const std::size_t mebibyte = 1u << 20;
  const std::string brackets(mebibyte, '[');
  const std::string tagOpeners = "<b>Hello</b> " + std::string(mebibyte, '<');
  std::string linkBlocks;
  while (linkBlocks.size() < mebibyte) linkBlocks += std::string(150, '[') + "]x[a](b)";

  const std::string fromBrackets = plainPreview(brackets);
  EXPECT_EQ(fromBrackets, std::string(65536, '['));
  const std::string fromTags = plainPreview(tagOpeners);
  EXPECT_EQ(fromTags.rfind("Hello <<<", 0), 0u);
  EXPECT_LE(fromTags.size(), 65536u);
  const std::string fromBlocks = plainPreview(linkBlocks);
  const std::string block = std::string(150, '[') + "]xa";
  EXPECT_EQ(fromBlocks.rfind(block + block, 0), 0u) << "links early in the text are cleaned";
  EXPECT_LE(fromBlocks.size(), 65536u);
}

TEST(PlainPreview, APatternThatRunsOutDoesNotStopTheOthers) {
  const std::string preview = plainPreview(std::string(30000, '<') + " [a](b) **bold**");
  EXPECT_EQ(preview.substr(29990), "<<<<<<<<<< a bold");
}

TEST(PlainPreview, LongOrdinaryMessagesAreCleanedWhole) {
  std::string message;
  while (message.size() < 60000) message += "Some **bold** words and a [link](https://x.org/).\n";
  const std::string preview = plainPreview(message);
  EXPECT_EQ(preview.find_first_of("*[]()\n"), std::string::npos);
  EXPECT_EQ(preview.substr(0, 36), "Some bold words and a link. Some bol");
}

TEST(PlainPreview, InlineImagesGoWholeBeforeTheTextIsCut) {
  const std::string data = "data:image/png;base64," + std::string(70 * 1024, 'A') + "==";
  EXPECT_EQ(plainPreview("<img src=\"" + data + "\"> Hello there"), "Hello there");
  EXPECT_EQ(plainPreview("![](" + data + ") Hello there"), "Hello there");
  EXPECT_EQ(plainPreview("<p>![logo](" + data + ")</p>\n\n**Hello** there"), "logo Hello there");
}

TEST(PlainPreview, NeverSplitsACharacterAtTheCleanedLength) {
  // 65535 code units of "a", then a surrogate pair straddling the cut.
  const std::string preview = plainPreview(std::string(65535, 'a') + "\xf0\x9f\x98\x80 end");
  EXPECT_EQ(preview, std::string(65535, 'a'));
}

// Limits this process's address space to what it uses now plus `extra` bytes.
[[maybe_unused]] void limitAddressSpace(rlim_t extra) {
  rlim_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  const rlim_t limit = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + extra;
  const rlimit bound{limit, limit};
  if (setrlimit(RLIMIT_AS, &bound) != 0) std::exit(2);
}

// A visitor can send any text. Storing every level of a message of nested JSON arrays would
// take some hundred bytes per level: gigabytes for a message of some megabytes.
TEST(PlainPreview, DeeplyNestedJsonTakesLittleMemory) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers reserve address space of their own";
#else
  const std::size_t depth = 4u << 20;
  const std::string nested =
      R"({"a": )" + std::string(depth, '[') + std::string(depth, ']') + R"(, "text": "kept"})";
  EXPECT_EXIT(
      {
        limitAddressSpace(256u << 20);
        std::exit(plainPreview(nested) == "kept" ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
#endif
}

}  // namespace
}  // namespace vx::refresh
