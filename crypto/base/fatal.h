// Fatal internal errors: consistency checks that correct use never fails.
#pragma once

#include <stdexcept>
#include <string>

namespace tarvo {

// Thrown when an internal invariant breaks (an unusable packed point, a signature that fails its own
// verification, a broken parameter set). Only the Python boundary catches it.
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
