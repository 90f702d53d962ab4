// The service's answers. The first byte picks the record, the rest is the document. Decoding
// yields the record or throws the decoding error; nothing else may escape.

#include "api/records_decode.hpp"
#include "harness.hpp"
#include "model/json_fields.hpp"

namespace {

template <class Record>
void decodeAs(std::string_view document) {
  try {
    (void)vx::api::decode<Record>(document);
  } catch (const vx::fields::DecodeError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vx::api;
  if (size == 0) return 0;
  const std::string_view document = vx::fuzz::text(data + 1, size - 1);
  switch (data[0] % 16) {
    case 0:
      decodeAs<Project::List>(document);
      break;
    case 1:
      decodeAs<Project>(document);
      break;
    case 2:
      decodeAs<Summary>(document);
      break;
    case 3:
      decodeAs<Timeseries>(document);
      break;
    case 4:
      decodeAs<Timeseries::Point>(document);
      break;
    case 5:
      decodeAs<BusinessReport>(document);
      break;
    case 6:
      decodeAs<GoalResult>(document);
      break;
    case 7:
      decodeAs<GoalResult::Totals>(document);
      break;
    case 8:
      decodeAs<GoalResult::Money>(document);
      break;
    case 9:
      decodeAs<GoalResult::Point>(document);
      break;
    case 10:
      decodeAs<Realtime>(document);
      break;
    case 11:
      decodeAs<Inbox>(document);
      break;
    case 12:
      decodeAs<Conversation>(document);
      break;
    case 13:
      decodeAs<Conversation::Message>(document);
      break;
    case 14:
      decodeAs<ArticleList>(document);
      break;
    default:
      decodeAs<Article>(document);
      break;
  }
  return 0;
}
