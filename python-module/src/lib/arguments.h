// Argument binding: the one routine that maps a call's positional and keyword arguments onto a function's
// parameters and converts each to an owned UTF-8 text.
#pragma once

#include <Python.h>

#include <span>
#include <string>

#include "sdk/src/functions/functions.h"

namespace tarvo::python {

using sdk::kMaxParameters;
using sdk::ParameterList;

// Binds the arguments of a fast-call-with-keywords call of `function` to `parameters`, then converts them
// in parameter order into `texts` (one per parameter). On failure sets TypeError (binding, or an argument
// that is not a str) or the interpreter's UnicodeEncodeError (a str with lone surrogates) and returns
// false. May throw std::bad_alloc.
bool bind_texts(const char* function, const ParameterList& parameters, PyObject* const* args,
                Py_ssize_t nargs, PyObject* kwnames, std::span<std::string> texts);

}  // namespace tarvo::python
