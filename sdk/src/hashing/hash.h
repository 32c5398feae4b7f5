// The two-input Poseidon hash of 256-bit values, and how any 256-bit value enters a word stream.
#pragma once

#include "sdk/src/hashing/poseidon.h"
#include "sdk/src/numbers/u256.h"

namespace tarvo {

// Feeds the word group of a 256-bit value: its four limbs, least significant first, with bit 255
// cleared (so values differing only in that bit hash alike).
void update_word_group(PoseidonHasher& hasher, const U256& value);

// Hashes the word group of a, then that of b.
U256 hash2(const U256& a, const U256& b);

}  // namespace tarvo
