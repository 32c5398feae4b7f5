// EdDSA on AltJubjubBn256 that signs a message of at most 32 bytes directly: the message, read as a
// little-endian integer reduced mod l, is the challenge itself. Nonces are derived deterministically
// from the key and the message with HMAC-SHA-256.
#pragma once

#include <openssl/crypto.h>

#include <cstddef>
#include <cstdint>
#include <span>

#include "crypto/curve/point.h"

namespace tarvo::eddsa {

// Invariant: (r, s) with s < l; r may lie outside the prime-order subgroup until verified.
struct Signature {
  edwards::Point<edwards::Unknown> r;
  Fs s;
};

struct PrivateKey;

// The secret nonce of one signature. Invariant: r < l; wiped when the seed goes away.
struct Seed {
  Fs r;

  ~Seed() { OPENSSL_cleanse(&r, sizeof r); }

  // The nonce for this key and message (hashed as given, without padding), found by rejection
  // sampling of HMAC-SHA-256 outputs below l.
  static Seed deterministic_seed(const PrivateKey& key, std::span<const uint8_t> message);
};

// Invariant: sk < l; wiped when the key goes away.
struct PrivateKey {
  Fs sk;

  ~PrivateKey() { OPENSSL_cleanse(&sk, sizeof sk); }

  // (R, s) = (r·G, m·sk + r) with G = params.generator(generator_index). Fatal for a message longer
  // than 32 bytes, and if sk·G fails the subgroup check (a broken parameter set).
  Signature sign_raw_message(std::span<const uint8_t> message, const Seed& seed, size_t generator_index,
                             const JubjubParams& params) const;
};

// Invariant: none; a key from outside may have a small-order component, which verification rejects.
struct PublicKey {
  edwards::Point<edwards::Unknown> a;

  static PublicKey from_private(const PrivateKey& key, size_t generator_index, const JubjubParams& params);

  // Whether s·G = R + m·A with A and R in the prime-order subgroup. A message longer than 32 bytes
  // counts with its first 32 bytes only.
  bool verify_for_raw_message(std::span<const uint8_t> message, const Signature& signature,
                              size_t generator_index, const JubjubParams& params) const;
};

}  // namespace tarvo::eddsa
