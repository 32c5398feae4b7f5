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

// The nonce of eddsa::Seed::deterministic_seed, by the HMAC-DRBG steps of RFC 6979 section 3.2 (message
// hash taken as is, V unchanged between rejected candidates) with HMAC-SHA-256 keyed afresh for every
// evaluation, one evaluation at a time, and the work those evaluations need at least: 2 SHA-256 compressions
// per key, kept while consecutive evaluations share it, then per evaluation the message blocks of the inner
// hash and the one block of the outer hash.
struct ReferenceNonce {
  Fs r;
  uint64_t hmac_calls = 0;
  uint64_t sha256_compressions = 0;
};
ReferenceNonce reference_nonce(const eddsa::PrivateKey& key, std::span<const uint8_t> message);

}  // namespace tarvo::bench
