#pragma once

// Strict reading of JSON documents into plain records. The header names nlohmann's types only;
// a source that looks into a field's value includes <nlohmann/json.hpp> itself.
//
// The rules shared by every document the programs read:
//   - a missing member and a JSON null both mean "nothing";
//   - a required member must be present with the right JSON type;
//   - an integer member takes a JSON integer in the signed 64-bit range (a number with a zero
//     fraction, such as 12.0, is accepted; 12.5 is not);
//   - a real member takes any JSON number; text takes a string; a list takes an array whose
//     elements all decode;
//   - unknown members are ignored.
// Any violation throws `fields::DecodeError` naming the member path (for example
// "data[3].slug"); no partial value ever escapes.

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace vx::fields {

class DecodeError : public std::runtime_error {
 public:
  DecodeError(const std::string& path, const std::string& problem);
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Parses a whole document; throws DecodeError (path "$") when it is not valid JSON.
[[nodiscard]] nlohmann::json parse(std::string_view text);

// One value inside a document, with the path that leads to it. A member or element refers to
// the field it came from (the path is spelled out only when an error needs it), so the parent
// must outlive it, as it does in plain recursive decoding.
class Field {
 public:
  Field(const nlohmann::json& value, std::string path);

  [[nodiscard]] const nlohmann::json& value() const { return *value_; }
  [[nodiscard]] std::string path() const;

  // Missing or null.
  [[nodiscard]] bool absent() const;

  // The member `key` of this object (absent when missing). Throws when this is not an object.
  [[nodiscard]] Field member(std::string_view key) const;
  void requireObject() const;

  [[nodiscard]] std::string text() const;
  [[nodiscard]] std::optional<std::string> optionalText() const;
  [[nodiscard]] std::int64_t integer() const;
  [[nodiscard]] std::optional<std::int64_t> optionalInteger() const;
  [[nodiscard]] double real() const;
  [[nodiscard]] std::optional<double> optionalReal() const;
  [[nodiscard]] bool boolean() const;
  [[nodiscard]] std::optional<bool> optionalBoolean() const;

  // Each element decoded by `decode`, in order.
  template <class T>
  [[nodiscard]] std::vector<T> list(const std::function<T(const Field&)>& decode) const {
    const std::size_t count = elementCount();
    std::vector<T> result;
    result.reserve(count);
    for (std::size_t i = 0; i < count; ++i) result.push_back(decode(element(i)));
    return result;
  }
  template <class T>
  [[nodiscard]] std::optional<std::vector<T>> optionalList(
      const std::function<T(const Field&)>& decode) const {
    if (absent()) return std::nullopt;
    return list<T>(decode);
  }

  [[noreturn]] void fail(const std::string& problem) const;

 private:
  static constexpr std::size_t kNoIndex = static_cast<std::size_t>(-1);
  Field(const nlohmann::json& value, const Field* parent, std::string key, std::size_t index);
  // The number of elements of this array (throws when it is not one), and element `index`.
  [[nodiscard]] std::size_t elementCount() const;
  [[nodiscard]] Field element(std::size_t index) const;

  const nlohmann::json* value_;
  const Field* parent_ = nullptr;  // nothing for a root, whose path is `key_`
  std::string key_;
  std::size_t index_ = kNoIndex;
};

// The root of a parsed document.
[[nodiscard]] Field root(const nlohmann::json& document);

}  // namespace vx::fields
