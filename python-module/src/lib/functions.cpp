#include "python-module/src/lib/functions.h"

#include <array>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "python-module/src/lib/arguments.h"
#include "python-module/src/lib/guard.h"
#include "sdk/src/functions/functions.h"

namespace tarvo::python {

namespace {

using sdk::FUNCTIONS;
using sdk::kFunctionCount;

// The call wrapper of every function: bind the arguments, then run the operation guarded. The texts are
// the arguments' own UTF-8 buffers: nothing is copied or allocated while the interpreter is held.
PyObject* call(const sdk::Function& function, PyObject* const* args, Py_ssize_t nargs,
               PyObject* kwnames) noexcept {
  std::array<std::string_view, kMaxParameters> texts;
  try {
    if (!bind_texts(function.name, function.parameters, args, nargs, kwnames, texts)) return nullptr;
  } catch (const std::bad_alloc&) {
    return PyErr_NoMemory();
  }
  return run_guarded(function.operation, sdk::Texts(texts.data(), function.parameters.size()));
}

// CPython calls a method by its C entry point alone, so each table entry gets its own instantiation.
template <std::size_t I>
PyObject* entry(PyObject* /*module*/, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return call(FUNCTIONS[I], args, nargs, kwnames);
}

std::string signature_text(const sdk::Function& function) {
  std::string text = function.name;
  text += '(';
  for (const char* parameter : function.parameters) {
    if (text.back() != '(') text += ", ";
    text += parameter;
  }
  text += ")\n--\n\n";
  return text;
}

template <std::size_t... I>
std::array<PyMethodDef, kFunctionCount> make_definitions(const std::array<std::string, kFunctionCount>& docs,
                                                         std::index_sequence<I...>) {
  // The void(*)(void) step is the sanctioned way to store a fast-call entry in the PyCFunction slot.
  return {PyMethodDef{FUNCTIONS[I].name,
                      reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)(void)>(&entry<I>)),
                      METH_FASTCALL | METH_KEYWORDS, docs[I].c_str()}...};
}

template <std::size_t... I>
std::array<std::string, kFunctionCount> make_docs(std::index_sequence<I...>) {
  return {signature_text(FUNCTIONS[I])...};
}

}  // namespace

std::span<PyMethodDef> method_definitions() {
  static const std::array<std::string, kFunctionCount> docs =
      make_docs(std::make_index_sequence<kFunctionCount>());
  static std::array<PyMethodDef, kFunctionCount> definitions =
      make_definitions(docs, std::make_index_sequence<kFunctionCount>());
  return definitions;
}

}  // namespace tarvo::python
