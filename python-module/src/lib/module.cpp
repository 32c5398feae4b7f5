// The initialisation hook of the extension module tarvo_python_sdk (single-phase initialisation).
#include <Python.h>

#include <algorithm>
#include <atomic>
#include <new>

#include "python-module/src/lib/exceptions.h"
#include "python-module/src/lib/functions.h"

namespace tarvo::python {

namespace {

constexpr int kApiVersion = 1013;

PyModuleDef module_definition = {
    PyModuleDef_HEAD_INIT,
    "tarvo_python_sdk",
    "Natively implemented Python module that hashes and signs exchange transaction requests.",
    0,        // no per-module state
    nullptr,  // functions are added after creation, see add_functions
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

// Set by the first initialisation in the process; never cleared.
std::atomic<bool> initialised{false};

// Adds one function to `module`, bound to it, and appends its __name__ to `all`.
bool add_function(PyObject* module, PyObject* module_name, PyObject* all, PyMethodDef& definition) {
  PyObject* function = PyCFunction_NewEx(&definition, module, module_name);
  if (function == nullptr) return false;
  PyObject* name = PyObject_GetAttrString(function, "__name__");
  const bool ok =
      name != nullptr && PyList_Append(all, name) == 0 && PyObject_SetAttr(module, name, function) == 0;
  Py_XDECREF(name);
  Py_DECREF(function);
  return ok;
}

// Adds __all__ and every function of the table, in table order; stops at the first failure.
bool add_functions(PyObject* module) {
  PyObject* module_name = PyModule_GetNameObject(module);
  if (module_name == nullptr) return false;
  PyObject* all = PyList_New(0);
  const bool ok = all != nullptr && PyModule_AddObjectRef(module, "__all__", all) == 0 &&
                  std::ranges::all_of(method_definitions(), [&](PyMethodDef& definition) {
                    return add_function(module, module_name, all, definition);
                  });
  Py_XDECREF(all);
  Py_DECREF(module_name);
  return ok;
}

PyObject* initialise() {
  PyObject* module = PyModule_Create2(&module_definition, kApiVersion);
  if (module == nullptr) {
    if (!PyErr_Occurred())
      PyErr_SetString(PyExc_SystemError, "attempted to fetch exception but none was set");
    return nullptr;
  }
  if (initialised.exchange(true)) {
    Py_DECREF(module);
    PyErr_SetString(PyExc_ImportError,
                    "tarvo_python_sdk may only be initialised once per interpreter process");
    return nullptr;
  }
  bool ok = false;
  try {
    ok = create_internal_error_type() && add_functions(module);
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  }
  if (!ok) {
    Py_DECREF(module);
    return nullptr;
  }
#ifdef Py_GIL_DISABLED
  // The functions share only read-only tables built once under once-only guards, and the
  // already-initialised flag is atomic: the module runs without the global interpreter lock.
  if (PyUnstable_Module_SetGIL(module, Py_MOD_GIL_NOT_USED) < 0) {
    Py_DECREF(module);
    return nullptr;
  }
#endif
  return module;
}

}  // namespace

}  // namespace tarvo::python

PyMODINIT_FUNC PyInit_tarvo_python_sdk() { return tarvo::python::initialise(); }
