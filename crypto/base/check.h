// The checked build's run-time checks (-DTARVO_CHECKED=ON; the C++ suites and the sanitizer run use it):
// the bounds and invariants that the comments of the arithmetic state, checked where the values are made.
// A failure is a fatal internal error (FatalError). In every other build a check compiles to nothing, its
// condition not even evaluated, so the libraries and the wheels are the same with or without the checks.
//
// Conditions on secret values are written without branches (bitwise & rather than &&, limbs_less), and
// the constant-time check's builds take only the outcome as public: memcheck still sees every other use of
// the secrets.
#pragma once

#ifdef TARVO_CHECKED

#include "crypto/base/fatal.h"

#ifdef TARVO_CT_CHECK
#include <valgrind/memcheck.h>
#endif

namespace tarvo {

inline void check_holds(bool holds, const char* text) {
#ifdef TARVO_CT_CHECK
  VALGRIND_MAKE_MEM_DEFINED(&holds, sizeof holds);
#endif
  ensure(holds, text);
}

}  // namespace tarvo

#define TARVO_CHECK(condition, text) ::tarvo::check_holds((condition), "checked build: " text)
#else
#define TARVO_CHECK(condition, text) static_cast<void>(sizeof(condition))
#endif
