#pragma once

#include <cstdint>

#include "model/json_fields.hpp"

namespace vx::desktop {

// The integer `field` holds, written as the host and the extension write every number they
// count with: digits only. Stricter than `Field::integer`, which also takes a number written
// with a zero fraction ("12.0"); the host has always refused those in its files and answers.
// Throws `fields::DecodeError`.
[[nodiscard]] inline std::int64_t wholeNumber(const fields::Field& field) {
  if (field.value().is_number_float()) field.fail("expected an integer, found a fraction");
  return field.integer();
}

}  // namespace vx::desktop
