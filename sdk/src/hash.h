// The two-input Poseidon hash of 256-bit values.
#pragma once

#include "sdk/src/u256.h"

namespace tarvo {

// Hashes the word stream of a then b, each as four limbs, least significant first, with bit 255
// cleared (so inputs differing only in that bit hash alike).
U256 hash2(const U256& a, const U256& b);

}  // namespace tarvo
