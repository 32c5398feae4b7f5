// Error values carried by Result<T>: a description text plus the chain of causes behind it.
#pragma once

#include <memory>
#include <string>
#include <utility>

namespace tarvo {

// An error result: what failed here (`description()`) and, for an error that wraps another, the error it
// wraps (`cause()`). `message()` is the full display text that the bindings print after their context:
// each description in the chain, outermost first, joined by ": ".
class Error {
 public:
  explicit Error(std::string description) : description_(std::move(description)) {}
  Error(std::string description, Error cause)
      : description_(std::move(description)), cause_(std::make_shared<const Error>(std::move(cause))) {}

  const std::string& description() const { return description_; }
  const Error* cause() const { return cause_.get(); }

  std::string message() const {
    std::string text = description_;
    for (const Error* inner = cause(); inner != nullptr; inner = inner->cause()) {
      text += ": ";
      text += inner->description_;
    }
    return text;
  }

  // The error that wraps this one under `description` (the shape of errors such as
  // "Cannot convert into prime field value: ...").
  Error wrapped(std::string description) const { return Error(std::move(description), *this); }

 private:
  std::string description_;
  std::shared_ptr<const Error> cause_;
};

}  // namespace tarvo
