// Argument binding: the one routine that maps a call's positional and keyword arguments onto a function's
// parameters and converts each to an owned UTF-8 text.
#pragma once

#include <Python.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>

namespace tarvo::python {

inline constexpr std::size_t kMaxParameters = 5;

// A function's parameter names in order. Every parameter is required and may be passed by position or by
// keyword; there are no defaults, no variadic and no keyword-only parameters.
class ParameterList {
 public:
  constexpr ParameterList() = default;
  constexpr ParameterList(std::initializer_list<const char*> names) : count_(names.size()) {
    if (names.size() > kMaxParameters)
      throw "more parameters than kMaxParameters";  // rejected at compile time
    std::copy(names.begin(), names.end(), names_.begin());
  }

  constexpr std::size_t size() const { return count_; }
  constexpr const char* operator[](std::size_t i) const { return names_[i]; }
  constexpr const char* const* begin() const { return names_.data(); }
  constexpr const char* const* end() const { return names_.data() + count_; }

 private:
  std::array<const char*, kMaxParameters> names_{};
  std::size_t count_ = 0;
};

// Binds the arguments of a fast-call-with-keywords call of `function` to `parameters`, then converts them
// in parameter order into `texts` (one per parameter). On failure sets TypeError (binding, or an argument
// that is not a str) or the interpreter's UnicodeEncodeError (a str with lone surrogates) and returns
// false. May throw std::bad_alloc.
bool bind_texts(const char* function, const ParameterList& parameters, PyObject* const* args,
                Py_ssize_t nargs, PyObject* kwnames, std::span<std::string> texts);

}  // namespace tarvo::python
