#include "python-module/src/lib/guard.h"

#include <openssl/crypto.h>

#include <cstdio>
#include <exception>
#include <initializer_list>
#include <string_view>

#include "crypto/base/fatal.h"
#include "python-module/src/lib/exceptions.h"
#include "python-module/src/lib/line_breaks.h"

namespace tarvo::python {

namespace {

// Writes "tarvo_python_sdk: " and the pieces as exactly one line to the C standard error stream, each
// line break inside the pieces replaced by a blank, and flushes it. Allocates nothing.
void write_diagnostic(std::initializer_list<std::string_view> pieces) {
  flockfile(stderr);
  std::fputs("tarvo_python_sdk: ", stderr);
  for (std::string_view piece : pieces) {
    for (std::size_t i = 0; i < piece.size();) {
      const std::size_t line_break = line_break_length(piece, i);
      std::fputc(line_break != 0 ? ' ' : piece[i], stderr);
      i += line_break != 0 ? line_break : 1;
    }
  }
  std::fputc('\n', stderr);
  std::fflush(stderr);
  funlockfile(stderr);
}

PyObject* fail(std::initializer_list<std::string_view> diagnostic) {
  write_diagnostic(diagnostic);
  raise_plain(PyExc_ValueError, "Any { .. }");
  return nullptr;
}

PyObject* to_python(const Value& value) {
  if (const bool* truth = std::get_if<bool>(&value)) return Py_NewRef(*truth ? Py_True : Py_False);
  const std::string& text = std::get<std::string>(value);
  PyObject* result = PyUnicode_FromStringAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
  if (result == nullptr) raise_internal_error("couldn't create the result str");
  return result;
}

}  // namespace

PyObject* run_guarded(Operation operation, Texts texts) noexcept {
  Value value;
  try {
    value = operation(texts);
  } catch (const StepFailed& failure) {
    return fail({failure.context, ": ", failure.error.message()});
  } catch (const FatalError& failure) {
    return fail({failure.text()});
  } catch (const std::exception& failure) {
    return fail({failure.what()});
  } catch (...) {
    return fail({"unknown internal failure"});
  }
  PyObject* result = to_python(value);
  // A result text can be a private key (private_key_from_seed): the Python str is the caller's copy now.
  if (std::string* text = std::get_if<std::string>(&value)) OPENSSL_cleanse(text->data(), text->size());
  return result;
}

}  // namespace tarvo::python
