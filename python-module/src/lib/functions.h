// The module's function table: the 17 functions with their parameters and core operations.
#pragma once

#include <Python.h>

#include <span>

namespace tarvo::python {

// One CPython method definition per function, in registration order: the name, the signature text
// "NAME(params)\n--\n\n" (so __text_signature__ is "(params)" and __doc__ is None), METH_FASTCALL |
// METH_KEYWORDS and the function's call wrapper. Built on first use and kept for the life of the process;
// may throw std::bad_alloc on that first use.
std::span<PyMethodDef> method_definitions();

}  // namespace tarvo::python
