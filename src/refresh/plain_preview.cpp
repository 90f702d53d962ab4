#include "refresh/plain_preview.hpp"

#include <unicode/regex.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <array>
#include <climits>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

namespace vx::refresh {
namespace {

// How much of a message markup is removed from, in UTF-16 code units. Markup goes before the
// text is cut to what is kept, so that a tag or Markdown image carrying an inline image of some
// hundred kilobytes (a data address) ahead of the words is removed whole instead of being cut
// open and shown as it stands.
constexpr std::int32_t kMarkupWindow = 262144;
// How much of the text without markup is kept, in UTF-16 code units: far more than a preview
// line shows.
constexpr std::int32_t kKeptPrefix = 65536;

// Step budget of each markup pattern per message, in ICU's time units (about ten thousand
// engine steps each; some milliseconds of matching). Ordinary messages of any length up to the
// cleaned prefix use a few units; only texts that make the matcher backtrack quadratically
// (thousands of "<" or "[" without their closing bracket) run out. Each pattern has its own
// budget, so one that runs out does not keep the others from cleaning the text.
constexpr int kMatchBudget = 100;

// Compiled patterns. Each thread keeps its own set, and every call its own matchers.
struct Patterns {
  static std::unique_ptr<icu::RegexPattern> compile(const char16_t* source) {
    UErrorCode status = U_ZERO_ERROR;
    UParseError where;
    std::unique_ptr<icu::RegexPattern> pattern(
        icu::RegexPattern::compile(icu::UnicodeString(source), 0, where, status));
    return U_SUCCESS(status) ? std::move(pattern) : nullptr;
  }

  // HTML tags.
  std::unique_ptr<icu::RegexPattern> tag = compile(uR"re(<[^>]*>)re");
  // Markdown links and images: keep the link text or the image's alternative text.
  std::unique_ptr<icu::RegexPattern> link = compile(uR"re(!?\[([^\]]*)\]\([^)]*\))re");
  // Bold, italic, inline code and strike-through markers around the shortest enclosed text.
  std::unique_ptr<icu::RegexPattern> emphasis = compile(uR"re((\*\*|__|\*|`|~~)(.+?)\1)re");
  // Heading markers at the start of any line.
  std::unique_ptr<icu::RegexPattern> heading = compile(uR"re((?m)^#{1,6}\s+)re");
  std::unique_ptr<icu::RegexPattern> whiteRun = compile(uR"re(\s+)re");
};

const Patterns& patterns() {
  thread_local const Patterns compiled;
  return compiled;
}

// Called by the matcher every time unit; stops matching once the budget is spent.
UBool spend(const void* context, int32_t /*steps*/) {
  int& left = *static_cast<int*>(const_cast<void*>(context));
  return --left > 0;
}

// Replaces every match of `pattern` with `replacement` ("$1" names a group). When bounded,
// matching stops once the budget is spent (or on any other matcher error, such as a full
// backtracking stack) and the text after the last replacement stays as it is.
icu::UnicodeString replaceAll(const icu::RegexPattern* pattern, const icu::UnicodeString& text,
                              const icu::UnicodeString& replacement, bool bounded) {
  if (pattern == nullptr) return text;
  int budget = kMatchBudget;
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::RegexMatcher> matcher(pattern->matcher(text, status));
  if (U_FAILURE(status)) return text;
  if (bounded) matcher->setMatchCallback(&spend, &budget, status);
  icu::UnicodeString result;
  while (U_SUCCESS(status) && matcher->find(status)) {
    matcher->appendReplacement(result, replacement, status);
  }
  matcher->appendTail(result);
  return result;
}

bool isWhiteSpace(UChar32 c) {
  return u_isUWhiteSpace(c) != 0;
}

// `text` without white space (Unicode's White_Space property) at either end.
icu::UnicodeString trimmed(const icu::UnicodeString& text) {
  std::int32_t start = 0;
  std::int32_t end = text.length();
  while (start < end && isWhiteSpace(text.char32At(start))) start = text.moveIndex32(start, 1);
  while (end > start && isWhiteSpace(text.char32At(text.moveIndex32(end, -1)))) {
    end = text.moveIndex32(end, -1);
  }
  return icu::UnicodeString(text, start, end - start);
}

icu::UnicodeString fromUtf8(std::string_view text) {
  const std::size_t size = std::min<std::size_t>(text.size(), INT32_MAX);
  return icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<std::int32_t>(size)));
}

std::string toUtf8(const icu::UnicodeString& text) {
  std::string utf8;
  text.toUTF8String(utf8);
  return utf8;
}

// The members of a JSON object that a preview can use, read as the parser goes: the strings
// of the top-level text keys and the top-level "options" list. Nothing else is kept, so a
// message of deeply nested arrays costs a bit per level (the parser's own stack) rather than a
// stored value per level, which for a message of some megabytes would be gigabytes. A member
// given twice counts with its last value, as when the whole document is stored.
class PreviewMembers final : public nlohmann::json_sax<nlohmann::json> {
 public:
  static constexpr std::array<std::string_view, 4> kTextKeys{"response", "text", "message",
                                                             "content"};

  std::map<std::string, std::string, std::less<>> texts;  // text keys that hold a string
  std::optional<std::vector<std::string>> options;        // "options" when all strings

  bool null() override { return scalar(nullptr); }
  bool boolean(bool) override { return scalar(nullptr); }
  bool number_integer(number_integer_t) override { return scalar(nullptr); }
  bool number_unsigned(number_unsigned_t) override { return scalar(nullptr); }
  bool number_float(number_float_t, const string_t&) override { return scalar(nullptr); }
  bool string(string_t& value) override { return scalar(&value); }
  bool binary(binary_t&) override { return scalar(nullptr); }

  bool start_object(std::size_t) override { return open(false); }
  bool start_array(std::size_t) override { return open(true); }
  bool end_object() override { return close(); }
  bool end_array() override { return close(); }

  bool key(string_t& name) override {
    if (depth_ == 1) key_ = name;
    return true;
  }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

 private:
  // A string (`text`) or any other plain value.
  bool scalar(string_t* text) {
    if (depth_ == 0) return false;  // the document is not an object
    if (depth_ == 1) {
      member(text);
    } else if (depth_ == 2 && listing_) {
      if (text == nullptr) {
        listed_.reset();  // an array with anything but strings in it is not a list of answers
      } else if (listed_) {
        listed_->push_back(*text);
      }
    }
    return true;
  }

  bool open(bool array) {
    if (depth_ == 0 && array) return false;  // the document is not an object
    if (depth_ == 1) {
      member(nullptr);
      if (array && key_ == "options") {
        listing_ = true;
        listed_.emplace();
      }
    } else if (depth_ == 2 && listing_) {
      listed_.reset();
    }
    ++depth_;
    return true;
  }

  bool close() {
    --depth_;
    if (depth_ == 1 && listing_) {
      options = std::move(listed_);
      listing_ = false;
    }
    return true;
  }

  // The value of the top-level member `key_`: a string, or anything else (nullptr).
  void member(const string_t* text) {
    if (key_ == "options") options.reset();
    if (std::find(kTextKeys.begin(), kTextKeys.end(), key_) == kTextKeys.end()) return;
    if (text != nullptr) {
      texts[key_] = *text;
    } else {
      texts.erase(key_);
    }
  }

  std::size_t depth_ = 0;  // containers open around the current value
  std::string key_;        // the current top-level member
  bool listing_ = false;   // inside the top-level "options" array
  std::optional<std::vector<std::string>> listed_;
};

// The readable text of a JSON object: the first of "response", "text", "message" and
// "content" that holds a string, else the strings of "options" joined by ", ". Absent when the
// text is not a JSON object or holds none of these.
std::optional<std::string> structuredText(const std::string& text) {
  PreviewMembers members;
  if (!nlohmann::json::sax_parse(text, &members)) return std::nullopt;
  for (std::string_view key : PreviewMembers::kTextKeys) {
    auto found = members.texts.find(key);
    if (found != members.texts.end()) return found->second;
  }
  if (!members.options) return std::nullopt;
  std::string joined;
  bool first = true;
  for (const std::string& option : *members.options) {
    if (!first) joined += ", ";
    joined += option;
    first = false;
  }
  return joined;
}

// The first `length` code units, never splitting a surrogate pair.
icu::UnicodeString prefix(icu::UnicodeString text, std::int32_t length) {
  if (text.length() <= length) return text;
  std::int32_t cut = length;
  if (U16_IS_LEAD(text.charAt(cut - 1))) --cut;
  text.truncate(cut);
  return text;
}

icu::UnicodeString withoutMarkup(const icu::UnicodeString& text) {
  const Patterns& compiled = patterns();
  const icu::UnicodeString nothing;
  icu::UnicodeString s = replaceAll(compiled.tag.get(), text, nothing, true);
  s = replaceAll(compiled.link.get(), s, icu::UnicodeString(u"$1"), true);
  s = replaceAll(compiled.emphasis.get(), s, icu::UnicodeString(u"$2"), true);
  return replaceAll(compiled.heading.get(), s, nothing, true);
}

// Literal replacements; "&amp;" comes last so that an escaped entity is decoded only once.
icu::UnicodeString withEntitiesDecoded(icu::UnicodeString text) {
  constexpr std::array<std::pair<const char16_t*, const char16_t*>, 6> entities{{
      {u"&nbsp;", u" "},
      {u"&lt;", u"<"},
      {u"&gt;", u">"},
      {u"&quot;", u"\""},
      {u"&#39;", u"'"},
      {u"&amp;", u"&"},
  }};
  for (const auto& [entity, character] : entities) {
    text.findAndReplace(icu::UnicodeString(entity), icu::UnicodeString(character));
  }
  return text;
}

}  // namespace

std::string plainPreview(const std::optional<std::string>& text) {
  if (!text) return {};
  icu::UnicodeString s = trimmed(fromUtf8(*text));
  if (s.isEmpty()) return {};
  if (s.charAt(0) == u'{') {
    if (auto readable = structuredText(toUtf8(s))) s = fromUtf8(*readable);
  }
  s = prefix(withoutMarkup(prefix(std::move(s), kMarkupWindow)), kKeptPrefix);
  s = withEntitiesDecoded(std::move(s));
  // A single linear pass: it needs no budget, and collapsing must not stop half-way.
  s = replaceAll(patterns().whiteRun.get(), s, icu::UnicodeString(u" "), false);
  return toUtf8(trimmed(s));
}

}  // namespace vx::refresh
