// Argument binding: the one routine that maps a call's positional and keyword arguments onto a function's
// parameters and reads each as UTF-8 text.
#pragma once

#include <Python.h>

#include <span>
#include <string_view>

#include "sdk/src/functions/functions.h"

namespace tarvo::python {

using sdk::kMaxParameters;
using sdk::ParameterList;

// Binds the arguments of a fast-call-with-keywords call of `function` to `parameters`, then sets `texts`
// (one per parameter, in parameter order) to their UTF-8 forms. A text is the str's own UTF-8 buffer, not
// a copy: the caller keeps its arguments alive for the whole call and a str never changes, so the views
// stay valid, with or without the interpreter held, until the call returns. On failure sets TypeError
// (binding, or an argument that is not a str) or the interpreter's UnicodeEncodeError (a str with lone
// surrogates) and returns false. May throw std::bad_alloc.
bool bind_texts(const char* function, const ParameterList& parameters, PyObject* const* args,
                Py_ssize_t nargs, PyObject* kwnames, std::span<std::string_view> texts);

}  // namespace tarvo::python
