// The catch-all guard around a core call: every failure of the core work becomes one diagnostic line on
// standard error and ValueError "Any { .. }"; a value becomes a str or a bool.
#pragma once

#include <Python.h>

#include <span>
#include <string>
#include <utility>
#include <variant>

#include "crypto/base/result.h"

namespace tarvo::python {

// The converted arguments, one owned UTF-8 text per parameter.
using Texts = std::span<const std::string>;
// What a guarded operation hands back: a text (becomes str) or a truth value (becomes bool).
using Value = std::variant<std::string, bool>;
// A core call plus its result conversion. Reports an error result by throwing StepFailed (see checked);
// may throw any other exception, such as tarvo::FatalError.
using Operation = Value (*)(Texts texts);

// An error result of one step inside the guard; `context` names the step in the diagnostic.
struct StepFailed {
  const char* context;
  Error error;
};

// The value of `result`, or StepFailed carrying `context` and the error.
template <typename T>
T checked(Result<T> result, const char* context) {
  if (!result.ok()) throw StepFailed{context, result.error()};
  return std::move(result).value();
}

// Runs `operation` inside the guard and returns a new reference to its result, or null with an exception
// set: ValueError "Any { .. }" for any failure of the operation (after the diagnostic line), the internal
// error type if the result object cannot be created.
PyObject* run_guarded(Operation operation, Texts texts) noexcept;

}  // namespace tarvo::python
