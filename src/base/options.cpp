#include "base/options.hpp"

#include <algorithm>
#include <cctype>

namespace vx::base {

OptionReader::OptionReader(std::span<const std::string> words, std::span<const OptionRule> rules,
                           Undeclared undeclared)
    : words_(words), rules_(rules), undeclared_(undeclared) {}

const OptionRule* OptionReader::rule(std::string_view name) const {
  const auto found = std::find_if(rules_.begin(), rules_.end(),
                                  [&](const OptionRule& rule) { return rule.name == name; });
  return found == rules_.end() ? nullptr : &*found;
}

std::optional<OptionWord> OptionReader::refuse(std::string mistake) {
  mistake_ = std::move(mistake);
  at_ = words_.size();
  return std::nullopt;
}

std::optional<OptionWord> OptionReader::next() {
  if (at_ >= words_.size()) return std::nullopt;
  const std::string& word = words_[at_++];
  if (!word.starts_with("--") && rule(word) == nullptr) return OptionWord{{}, word};
  const auto equals = word.starts_with("--") ? word.find('=') : std::string::npos;
  OptionWord read{word.substr(0, equals), {}};
  const OptionRule undeclared{read.name};
  const OptionRule* declared = rule(read.name);
  if (!declared && undeclared_ == Undeclared::refused) {
    return refuse("unknown option \"" + read.name + "\"");
  }
  const OptionRule& option = declared ? *declared : undeclared;
  if (!given(read.name)) {
    seen_.push_back(read.name);
  } else if (!option.repeatable) {
    return refuse(read.name + " is given twice");
  }
  if (option.takes == OptionRule::Takes::nothing) {
    if (equals != std::string::npos) return refuse(read.name + " takes no value");
  } else if (equals != std::string::npos) {
    read.value = word.substr(equals + 1);
  } else if (at_ < words_.size()) {
    read.value = words_[at_++];
  } else {
    return refuse(read.name + " needs a value");
  }
  return read;
}

bool OptionReader::given(std::string_view name) const {
  return std::find(seen_.begin(), seen_.end(), name) != seen_.end();
}

bool isHexColour(std::string_view text) {
  return text.size() == 7 && text.front() == '#' &&
         std::all_of(text.begin() + 1, text.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

}  // namespace vx::base
