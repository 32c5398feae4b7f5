// The plain reference paths kept in the code, composed into whole operations so the optimised paths
// can be timed against them: Poseidon with permute_reference, EdDSA with mul_reference_var, and the
// curve parameter set built afresh for every signature.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "crypto/eddsa/eddsa.h"
#include "sdk/src/zkw/types.h"

namespace tarvo::bench {

// The hash PoseidonHasher gives for this word stream (same padding, same absorption), with every
// permutation done by permute_reference.
U256 reference_word_stream_hash(std::span<const uint64_t> words);

struct ReferenceSignature {
  PackedPublicKey pub_key;
  JubjubSignature signature;
};

// TxSignature::sign_msg followed by to_jubjub_signature, step for step (nonce, key and its subgroup
// check, R, s, the key derived again, the self-verification with its two subgroup checks, the affine
// forms), with every scalar multiplication done by mul_reference_var and a parameter set constructed for
// this call.
ReferenceSignature reference_sign(const eddsa::PrivateKey& key, std::span<const uint8_t, 32> message);

}  // namespace tarvo::bench
