// Error values carried by Result<T>: a description text that spells the chain of causes behind it.
#pragma once

#include <string>
#include <utility>

namespace tarvo {

// An error result. `message()` is the full display text (what the diagnostic line shows after its
// context): a wrapping error's text ends with the text of the error it wraps, so the text alone carries
// the whole chain.
class Error {
 public:
  explicit Error(std::string message) : message_(std::move(message)) {}

  const std::string& message() const { return message_; }

  // The error that wraps this one: `prefix` followed by this error's text (the shape of wrapped errors
  // such as "Cannot convert into prime field value: ...").
  Error wrapped(const std::string& prefix) const { return Error(prefix + message_); }

 private:
  std::string message_;
};

}  // namespace tarvo
