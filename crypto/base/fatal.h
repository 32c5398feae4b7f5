// Fatal internal errors: the failures that end an operation at once instead of returning an error result.
//
// Most are consistency checks that correct use never fails (a broken parameter set, a signature that
// fails its own verification, a point with no affine form). A few are reached by malformed caller texts,
// because the protocol makes those failures fatal too: the signature texts that verification reads (r or
// s not hexadecimal, r not a curve point, s not below l) and a public key text that is hexadecimal but
// no packed curve point (verification, is_on_curve, public_key_to_xy). Every other malformed input is an
// error result (Result<T>, result.h).
#pragma once

#include <stdexcept>
#include <string>

namespace tarvo {

// Thrown by fatal(); only the bindings' boundaries catch it, where it becomes the same failure as an error
// result (sdk/src/functions/diagnostic.h).
class FatalError : public std::runtime_error {
 public:
  explicit FatalError(const std::string& text) : std::runtime_error(text), text_(text) {}

  // The whole text; unlike what(), it does not end at a NUL that an echoed input may carry.
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

[[noreturn]] void fatal(const std::string& text);

// Asserts an invariant; a failure is a fatal internal error carrying `text`.
inline void ensure(bool condition, const char* text) {
  if (!condition) fatal(text);
}

}  // namespace tarvo
