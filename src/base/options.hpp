#pragma once

// Reading a command line, a word at a time, by the rules all our programs follow:
//   - a word starting with "--", or one that is a declared name ("-h"), is an option; every other
//     word is a bare word (a command, a widget id);
//   - an option that takes a value has it after "=" ("--kind=K") or in the next word, whatever
//     that word is ("--x -40"); a flag takes none;
//   - an option is given once, unless it is declared repeatable.
// The program acts on each word as it comes, so mistakes are reported in the order of the words.

#include <charconv>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vx::base {

struct OptionRule {
  enum class Takes { value, nothing };

  std::string_view name;  // as typed: "--kind", "-h"
  Takes takes = Takes::value;
  bool repeatable = false;
};

// An option with its value (empty for a flag), or a bare word in `value`.
struct OptionWord {
  std::string name;  // empty for a bare word
  std::string value;

  [[nodiscard]] bool bare() const { return name.empty(); }
};

class OptionReader {
 public:
  // Undeclared options are refused, or taken with a value for the program to check (options it
  // learns of only at run time).
  enum class Undeclared { refused, takeValue };

  // `words` and `rules` outlive the reader.
  OptionReader(std::span<const std::string> words, std::span<const OptionRule> rules,
               Undeclared undeclared = Undeclared::refused);

  // The next word; nothing at the end or at the first mistake.
  [[nodiscard]] std::optional<OptionWord> next();

  // Why `next` stopped early: "unknown option \"--x\"", "--x is given twice", "--x takes no
  // value" or "--x needs a value"; empty when every word was read.
  [[nodiscard]] const std::string& mistake() const { return mistake_; }

  // Whether an option was read so far.
  [[nodiscard]] bool given(std::string_view name) const;

 private:
  [[nodiscard]] const OptionRule* rule(std::string_view name) const;
  std::optional<OptionWord> refuse(std::string mistake);

  std::span<const std::string> words_;
  std::span<const OptionRule> rules_;
  Undeclared undeclared_;
  std::size_t at_ = 0;
  std::vector<std::string> seen_;
  std::string mistake_;
};

// The whole of `text` as a number; nothing for anything else (blanks, a "+", a unit after it).
template <class Number>
[[nodiscard]] std::optional<Number> readNumber(std::string_view text) {
  Number number{};
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, number);
  if (text.empty() || error != std::errc() || at != end) return std::nullopt;
  return number;
}

// "#" and six hexadecimal digits, "#3366cc".
[[nodiscard]] bool isHexColour(std::string_view text);

}  // namespace vx::base
