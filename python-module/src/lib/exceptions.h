// Raising the module's exceptions: plain exceptions without implicit chaining, and the internal error type.
#pragma once

#include <Python.h>

#include <string_view>

namespace tarvo::python {

// Sets an instance of `type`, built from the single argument `message`, as the current exception. Unlike
// PyErr_SetString it does not chain to an exception being handled: the new exception carries neither cause
// nor context. Takes over the reference to `message`; a null `message` leaves the pending error as it is.
void raise_plain(PyObject* type, PyObject* message);
void raise_plain(PyObject* type, std::string_view message);

// Creates tarvo_python_sdk.InternalError (derived from BaseException) once per process. The type is
// deliberately not a module attribute; callers meet it only as the type of a raised exception.
// Returns false with the interpreter's exception set on failure.
bool create_internal_error_type();

// Replaces the pending exception (a failure of the interpreter outside the guarded core call) by an
// InternalError with `text` as its message and the replaced exception as its cause.
void raise_internal_error(const char* text);

}  // namespace tarvo::python
