#include "python-module/src/lib/guard.h"

#include <cstdio>
#include <string>
#include <variant>

#include "crypto/base/wipe.h"
#include "python-module/src/lib/exceptions.h"
#include "sdk/src/functions/diagnostic.h"

namespace tarvo::python {

namespace {

// The stream calls that skip the per-call lock while the caller holds it: POSIX names them flockfile,
// putc_unlocked and funlockfile; the Windows C runtime _lock_file, _putc_nolock and _unlock_file.
#ifdef _WIN32
void lock_stream(FILE* stream) { _lock_file(stream); }
void put_locked(char c, FILE* stream) { _putc_nolock(c, stream); }
void unlock_stream(FILE* stream) { _unlock_file(stream); }
#else
void lock_stream(FILE* stream) { flockfile(stream); }
void put_locked(char c, FILE* stream) { putc_unlocked(c, stream); }
void unlock_stream(FILE* stream) { funlockfile(stream); }
#endif

// Called inside a catch handler: writes the failure's diagnostic as exactly one line to the C standard
// error stream and flushes it. Needs no interpreter and allocates nothing; the stream's lock keeps the
// lines of two failing threads whole.
void write_diagnostic_line() noexcept {
  lock_stream(stderr);
  sdk::write_diagnostic([](char c) { put_locked(c, stderr); });
  put_locked('\n', stderr);
  std::fflush(stderr);
  unlock_stream(stderr);
}

PyObject* to_python(const sdk::Value& value) {
  if (const bool* truth = std::get_if<bool>(&value)) return Py_NewRef(*truth ? Py_True : Py_False);
  const std::string& text = std::get<std::string>(value);
  PyObject* result = PyUnicode_FromStringAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
  if (result == nullptr) raise_internal_error("couldn't create the result str");
  return result;
}

}  // namespace

PyObject* run_guarded(sdk::Operation operation, sdk::Texts texts) noexcept {
  sdk::Value value;
  // The core touches no Python object and shares only read-only tables, so it runs with the interpreter
  // released (on the free-threaded build, detached): other threads run, and a stop-the-world pause need
  // not wait for it. A failure's diagnostic line is written there too; the exception is raised once the
  // thread holds the interpreter again.
  bool failed = false;
  PyThreadState* const thread = PyEval_SaveThread();
  try {
    value = operation(texts);
  } catch (...) {
    write_diagnostic_line();
    failed = true;
  }
  PyEval_RestoreThread(thread);
  if (failed) {
    raise_plain(PyExc_ValueError, "Any { .. }");
    return nullptr;
  }
  PyObject* result = to_python(value);
  // A result text can be a private key (private_key_from_seed): the Python str is the caller's copy now.
  if (std::string* text = std::get_if<std::string>(&value)) wipe(text->data(), text->size());
  return result;
}

}  // namespace tarvo::python
