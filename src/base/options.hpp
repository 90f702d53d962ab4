#pragma once

// Reading a program's command line: bare words and declared options, one at a time, with the
// rules every program of ours follows.
//
//   - A word starting with "--", or one that is the name of a declared option ("-h"), is an
//     option; every other word is a bare word (a command, a widget id, a negative number).
//   - An option that takes a value has it after "=" ("--kind=K") or in the next word, whatever
//     that word is ("--x -40"); a flag takes none.
//   - An option is given once, unless it is declared repeatable.
//
// The program acts on each word as it comes, so that what it checks and what the reader checks
// are reported in the order of the command line.

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

// One word read: a declared option with its value (empty for a flag), or a bare word.
struct OptionWord {
  std::string name;  // the option's name as declared; empty for a bare word
  std::string value;

  [[nodiscard]] bool bare() const { return name.empty(); }
};

class OptionReader {
 public:
  // What becomes of an option that is not declared: refused as unknown, or read as one that
  // takes a value, for the program to check (options it learns of only at run time).
  enum class Undeclared { refused, takeValue };

  // `words` and `rules` must outlive the reader.
  OptionReader(std::span<const std::string> words, std::span<const OptionRule> rules,
               Undeclared undeclared = Undeclared::refused);

  // The next word, or nothing at the end of the words or at the first mistake.
  [[nodiscard]] std::optional<OptionWord> next();

  // What is wrong with the command line, once `next` has answered nothing; empty when every
  // word was read: "unknown option \"--x\"", "--x is given twice", "--x takes no value",
  // "--x needs a value".
  [[nodiscard]] const std::string& mistake() const { return mistake_; }

 private:
  [[nodiscard]] const OptionRule* rule(std::string_view name) const;
  std::optional<OptionWord> refuse(std::string text);

  std::span<const std::string> words_;
  std::span<const OptionRule> rules_;
  Undeclared undeclared_;
  std::size_t at_ = 0;
  std::vector<std::string> seen_;
  std::string mistake_;
};

// The whole of `text` read as a number, or nothing (no blanks, no sign "+", nothing after it).
template <class Number>
[[nodiscard]] std::optional<Number> readNumber(std::string_view text) {
  Number number{};
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, number);
  if (text.empty() || error != std::errc() || at != end) return std::nullopt;
  return number;
}

// A colour written "#" and six hexadecimal digits, "#3366cc".
[[nodiscard]] bool isHexColour(std::string_view text);

}  // namespace vx::base
