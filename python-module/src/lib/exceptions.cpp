#include "python-module/src/lib/exceptions.h"

namespace tarvo::python {

namespace {

PyObject* internal_error_type = nullptr;  // strong reference, created once, never released

}  // namespace

void raise_plain(PyObject* type, PyObject* message) {
  if (message == nullptr) return;
  PyObject* exception = PyObject_CallOneArg(type, message);
  Py_DECREF(message);
  if (exception != nullptr) PyErr_SetRaisedException(exception);
}

void raise_plain(PyObject* type, std::string_view message) {
  raise_plain(type, PyUnicode_FromStringAndSize(message.data(), static_cast<Py_ssize_t>(message.size())));
}

bool create_internal_error_type() {
  if (internal_error_type == nullptr) {
    internal_error_type = PyErr_NewExceptionWithDoc("tarvo_python_sdk.InternalError",
                                                    "A failure of tarvo_python_sdk itself after its core "
                                                    "call, such as being unable to create the result object.",
                                                    PyExc_BaseException, nullptr);
  }
  return internal_error_type != nullptr;
}

void raise_internal_error(const char* text) {
  PyObject* cause = PyErr_GetRaisedException();
  raise_plain(internal_error_type, text);
  if (cause == nullptr) return;
  PyObject* exception = PyErr_GetRaisedException();
  PyException_SetContext(exception, Py_NewRef(cause));
  PyException_SetCause(exception, cause);
  PyErr_SetRaisedException(exception);
}

}  // namespace tarvo::python
