#include "model/json_fields.hpp"

#include <cmath>

#include <nlohmann/json.hpp>

namespace vx::fields {
namespace {

const nlohmann::json& nullValue() {
  static const nlohmann::json kNull;
  return kNull;
}

std::string kindName(const nlohmann::json& value) {
  if (value.is_null()) return "nothing";
  return value.type_name();
}

}  // namespace

DecodeError::DecodeError(const std::string& path, const std::string& problem)
    : std::runtime_error(path + ": " + problem), path_(path) {}

nlohmann::json parse(std::string_view text) {
  try {
    return nlohmann::json::parse(text.begin(), text.end());
  } catch (const nlohmann::json::exception& error) {
    throw DecodeError("$", std::string("not valid JSON (") + error.what() + ")");
  }
}

Field::Field(const nlohmann::json& value, std::string path)
    : value_(&value), key_(std::move(path)) {}

Field::Field(const nlohmann::json& value, const Field* parent, std::string key, std::size_t index)
    : value_(&value), parent_(parent), key_(std::move(key)), index_(index) {}

std::string Field::path() const {
  if (!parent_) return key_;
  std::string base = parent_->path();
  if (index_ != kNoIndex) return base + "[" + std::to_string(index_) + "]";
  return base == "$" ? key_ : base + "." + key_;
}

Field root(const nlohmann::json& document) {
  return Field(document, "$");
}

bool Field::absent() const {
  return value_->is_null();
}

void Field::fail(const std::string& problem) const {
  throw DecodeError(path(), problem);
}

void Field::requireObject() const {
  if (!value_->is_object()) fail("expected an object, found " + kindName(*value_));
}

std::size_t Field::elementCount() const {
  if (!value_->is_array()) fail("expected an array, found " + kindName(*value_));
  return value_->size();
}

Field Field::element(std::size_t index) const {
  return Field((*value_)[index], this, {}, index);
}

Field Field::member(std::string_view key) const {
  requireObject();
  auto found = value_->find(key);
  return Field(found == value_->end() ? nullValue() : *found, this, std::string(key), kNoIndex);
}

std::string Field::text() const {
  if (!value_->is_string()) fail("expected a string, found " + kindName(*value_));
  return value_->get<std::string>();
}

std::optional<std::string> Field::optionalText() const {
  if (absent()) return std::nullopt;
  return text();
}

std::int64_t Field::integer() const {
  if (value_->is_number_unsigned()) {
    auto value = value_->get<std::uint64_t>();
    if (value > static_cast<std::uint64_t>(INT64_MAX)) fail("integer outside the 64-bit range");
    return static_cast<std::int64_t>(value);
  }
  if (value_->is_number_integer()) return value_->get<std::int64_t>();
  if (value_->is_number_float()) {
    double value = value_->get<double>();
    // Whole numbers written with a zero fraction are accepted; 2^63 itself is out of range.
    if (std::isfinite(value) && value == std::trunc(value) && value >= -9223372036854775808.0 &&
        value < 9223372036854775808.0) {
      return static_cast<std::int64_t>(value);
    }
    fail("expected an integer, found a number with a fraction or out of range");
  }
  fail("expected an integer, found " + kindName(*value_));
}

std::optional<std::int64_t> Field::optionalInteger() const {
  if (absent()) return std::nullopt;
  return integer();
}

double Field::real() const {
  if (!value_->is_number()) fail("expected a number, found " + kindName(*value_));
  return value_->get<double>();
}

std::optional<double> Field::optionalReal() const {
  if (absent()) return std::nullopt;
  return real();
}

bool Field::boolean() const {
  if (!value_->is_boolean()) fail("expected true or false, found " + kindName(*value_));
  return value_->get<bool>();
}

std::optional<bool> Field::optionalBoolean() const {
  if (absent()) return std::nullopt;
  return boolean();
}

}  // namespace vx::fields
