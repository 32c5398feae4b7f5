// The record reader's types that the request records name in their declarations (their member tables,
// layouts and the JSON reader a nested record is read from), without the reader itself.
#pragma once

namespace tarvo::json {

class Reader;
template <class R>
struct Member;
// The forms a record's values may come in: always a JSON object; for some records also an array of the
// member values in declaration order.
enum class Forms { object, object_or_array };
template <class R, Forms F = Forms::object>
struct RecordLayout;

}  // namespace tarvo::json
