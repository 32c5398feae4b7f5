#include "python-module/src/lib/arguments.h"

#include <algorithm>
#include <array>

#include "python-module/src/lib/exceptions.h"

namespace tarvo::python {

namespace {

// The index of the parameter named `key`, or parameters.size() if there is none.
std::size_t parameter_index(const ParameterList& parameters, PyObject* key) {
  if (!PyUnicode_Check(key)) return parameters.size();
  std::size_t i = 0;
  while (i < parameters.size() && PyUnicode_CompareWithASCIIString(key, parameters[i]) != 0) ++i;
  return i;
}

// 'a'; 'a' and 'b'; 'a', 'b', and 'c'.
std::string quoted_list(std::span<const char* const> names) {
  std::string list;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i != 0) {
      if (names.size() > 2) list += ',';
      list += i + 1 == names.size() ? " and " : " ";
    }
    list += '\'';
    list += names[i];
    list += '\'';
  }
  return list;
}

void raise_missing(const char* function, const ParameterList& parameters,
                   const std::array<PyObject*, kMaxParameters>& bound) {
  std::array<const char*, kMaxParameters> missing{};
  std::size_t count = 0;
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    if (bound[i] == nullptr) missing[count++] = parameters[i];
  }
  const std::string list = quoted_list(std::span(missing.data(), count));
  raise_plain(PyExc_TypeError, PyUnicode_FromFormat("%s() missing %zu required positional argument%s: %s",
                                                    function, count, count == 1 ? "" : "s", list.c_str()));
}

void raise_not_a_string(const char* parameter, PyObject* value) {
  PyObject* type_name = PyType_GetQualName(Py_TYPE(value));
  if (type_name == nullptr) {
    PyErr_Clear();
    type_name = PyUnicode_FromString("<failed to extract type name>");
    if (type_name == nullptr) return;
  }
  raise_plain(PyExc_TypeError,
              PyUnicode_FromFormat("argument '%s': '%U' object cannot be converted to 'PyString'", parameter,
                                   type_name));
  Py_DECREF(type_name);
}

bool to_text(const char* parameter, PyObject* value, std::string_view& text) {
  if (!PyUnicode_Check(value)) {
    raise_not_a_string(parameter, value);
    return false;
  }
  Py_ssize_t size = 0;
  const char* utf8 = PyUnicode_AsUTF8AndSize(value, &size);  // raises UnicodeEncodeError for lone surrogates
  if (utf8 == nullptr) return false;
  text = std::string_view(utf8, static_cast<std::size_t>(size));
  return true;
}

}  // namespace

bool bind_texts(const char* function, const ParameterList& parameters, PyObject* const* args,
                Py_ssize_t nargs, PyObject* kwnames, std::span<std::string_view> texts) {
  const std::size_t count = parameters.size();
  if (static_cast<std::size_t>(nargs) > count) {
    raise_plain(PyExc_TypeError,
                PyUnicode_FromFormat("%s() takes %zu positional arguments but %zd were given", function,
                                     count, nargs));
    return false;
  }

  std::array<PyObject*, kMaxParameters> bound{};  // borrowed references
  std::copy_n(args, nargs, bound.begin());
  const Py_ssize_t keyword_count = kwnames == nullptr ? 0 : PyTuple_GET_SIZE(kwnames);
  for (Py_ssize_t k = 0; k < keyword_count; ++k) {
    PyObject* key = PyTuple_GET_ITEM(kwnames, k);
    const std::size_t i = parameter_index(parameters, key);
    if (i == count) {
      raise_plain(PyExc_TypeError,
                  PyUnicode_FromFormat("%s() got an unexpected keyword argument '%S'", function, key));
      return false;
    }
    if (bound[i] != nullptr) {
      raise_plain(PyExc_TypeError, PyUnicode_FromFormat("%s() got multiple values for argument '%s'",
                                                        function, parameters[i]));
      return false;
    }
    bound[i] = args[nargs + k];
  }
  if (std::find(bound.begin(), bound.begin() + count, nullptr) != bound.begin() + count) {
    raise_missing(function, parameters, bound);
    return false;
  }

  for (std::size_t i = 0; i < count; ++i) {
    if (!to_text(parameters[i], bound[i], texts[i])) return false;
  }
  return true;
}

}  // namespace tarvo::python
