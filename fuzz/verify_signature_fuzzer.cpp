// Fuzzes signature verification (tarvo::sdk::verify_signature) with its five texts taken from the input's
// lines, in the Python argument order: sig_r, sig_s, pub_key_x, pub_key_y, msg. A malformed signature
// text or a packed key that is no point is a fatal internal error by design; it must carry a
// well-formed one-line text, and never be the misuse of a Result that a broken check would cause.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "crypto/base/fatal.h"
#include "fuzz/invariants.h"
#include "sdk/src/functions/core.h"

namespace {

using tarvo::fuzz::require;

struct Outcome {
  int kind;  // 0 a verdict, 1 an error result, 2 a fatal internal error
  bool verdict = false;
  std::string text;
  friend bool operator==(const Outcome&, const Outcome&) = default;
};

Outcome verify(const std::array<std::string_view, 5>& texts) {
  try {
    const tarvo::Result<bool> result =
        tarvo::sdk::verify_signature(texts[0], texts[1], texts[2], texts[3], texts[4]);
    if (result) return {0, *result, {}};
    return {1, false, result.error().message()};
  } catch (const tarvo::FatalError& error) {
    return {2, false, error.what()};  // up to a NUL the text may quote, as the Python layer prints it
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input = tarvo::fuzz::as_text(data, size);
  std::array<std::string_view, 5> texts;
  size_t start = 0;
  for (size_t i = 0; i < texts.size() && start <= input.size(); ++i) {
    const size_t end = i + 1 < texts.size() ? std::min(input.find('\n', start), input.size()) : input.size();
    texts[i] = input.substr(start, end - start);
    start = end + 1;
  }
  const bool utf8 = tarvo::fuzz::is_utf8(input);
  const Outcome outcome = verify(texts);
  if (outcome.kind != 0) tarvo::fuzz::check_error_text(outcome.text, utf8);
  if (outcome.kind == 2) {
    require(!outcome.text.starts_with("Result::"), "a Result was misused", outcome.text);
  }
  std::array<std::string_view, 5> other_y = texts;
  other_y[3] = "any other pub_key_y";
  require(verify(other_y) == outcome, "pub_key_y changes the outcome of a verification", outcome.text);
  return 0;
}
