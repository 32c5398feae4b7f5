// Marking values computed from secrets as public.
//
// The constant-time check runs the signing path under valgrind's memcheck with the private key marked
// as undefined memory: every branch or memory index that depends on it (or on the nonce derived from
// it) is then reported. Values the protocol makes public anyway — the public key, the signature, whether
// a key text or a nonce candidate is acceptable — are declassified where they are computed. Outside the
// check build (TARVO_CT_CHECK) this compiles to nothing.
#pragma once

#include <cstddef>

#ifdef TARVO_CT_CHECK
#include <valgrind/memcheck.h>
#endif

namespace tarvo {

template <typename T>
inline void declassify([[maybe_unused]] const T& value) {
#ifdef TARVO_CT_CHECK
  VALGRIND_MAKE_MEM_DEFINED(&value, sizeof value);
#endif
}

}  // namespace tarvo
