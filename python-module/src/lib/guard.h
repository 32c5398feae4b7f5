// The catch-all guard around a core call: every failure of the core work becomes one diagnostic line on
// standard error and ValueError "Any { .. }"; a value becomes a str or a bool.
#pragma once

#include <Python.h>

#include "sdk/src/functions/functions.h"

namespace tarvo::python {

// Runs `operation` inside the guard, with the interpreter released, and returns a new reference to its
// result, or null with an exception set: ValueError "Any { .. }" for any failure of the operation (after
// the diagnostic line), the internal error type if the result object cannot be created.
PyObject* run_guarded(sdk::Operation operation, sdk::Texts texts) noexcept;

}  // namespace tarvo::python
