// Error values carried by Result<T>: a description text plus the chain of causes behind it.
#pragma once

#include <memory>
#include <string>
#include <utility>

namespace tarvo {

// An error result. `message()` is the full display text (what the diagnostic line shows after its
// context); `cause()` is the underlying error this one wraps, if any.
class Error {
 public:
  explicit Error(std::string message) : message_(std::move(message)) {}
  Error(std::string message, Error cause)
      : message_(std::move(message)), cause_(std::make_shared<const Error>(std::move(cause))) {}

  const std::string& message() const { return message_; }
  const Error* cause() const { return cause_.get(); }

  // A new error whose display text is `prefix` followed by this error's text, keeping this one as
  // the cause (the shape of wrapped errors such as "Cannot convert into prime field value: ...").
  Error wrapped(const std::string& prefix) const { return Error(prefix + message_, *this); }

 private:
  std::string message_;
  std::shared_ptr<const Error> cause_;
};

}  // namespace tarvo
