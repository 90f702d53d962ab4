#pragma once

#include <string_view>

#include "api/records.hpp"

namespace vx::api {

// Decodes a whole JSON document as record T. Throws `vx::fields::DecodeError`
// (model/json_fields.hpp) naming the member path when the document does not match; never yields a
// partial record. Defined for every record of records.hpp.
template <class T>
T decode(std::string_view document);

}  // namespace vx::api
