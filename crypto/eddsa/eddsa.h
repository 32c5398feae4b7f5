// EdDSA on AltJubjubBn256 that signs a message of at most 32 bytes directly: the message, read as a
// little-endian integer reduced mod l, is the challenge itself. Nonces are derived deterministically
// from the key and the message with HMAC-SHA-256.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>
#include <utility>

#include "crypto/base/wipe.h"
#include "crypto/curve/point.h"

namespace tarvo::eddsa {

// (R, s). Invariant: s < l; R is of the marked order: a signature read from outside (`Signature`) may
// have R outside the prime-order subgroup until verified, one made here (`SubgroupSignature`, R = r·G)
// cannot.
template <typename Order>
struct BasicSignature {
  edwards::Point<Order> r;
  Fs s;

  operator BasicSignature<edwards::Unknown>() const  // NOLINT: implicit, like the point conversion
      requires std::is_same_v<Order, edwards::PrimeOrder> {
    return {r, s};
  }
};
using Signature = BasicSignature<edwards::Unknown>;
using SubgroupSignature = BasicSignature<edwards::PrimeOrder>;

struct PrivateKey;

// The whole signing step's result, all of it public and in affine form: the signature (R, s) as it
// leaves the library, and the signer's public key A = sk·G, against which the signature was checked.
struct CheckedSignature {
  std::pair<Fr, Fr> r;
  Fs s;
  std::pair<Fr, Fr> public_key;
};

// The secret nonce of one signature. Invariant: r < l; wiped when the seed goes away.
struct Seed {
  Fs r;

  ~Seed() { wipe(&r, sizeof r); }

  // The nonce for this key and message (hashed as given, without padding), found by rejection
  // sampling of HMAC-SHA-256 outputs below l.
  static Seed deterministic_seed(const PrivateKey& key, std::span<const uint8_t> message);
};

// Invariant: sk < l; wiped when the key goes away.
struct PrivateKey {
  Fs sk;

  ~PrivateKey() { wipe(&sk, sizeof sk); }

  // (R, s) = (r·G, m·sk + r) with G = params.generator(generator_index). Fatal for a message longer
  // than 32 bytes. The public key sk·G needs no subgroup check here: the parameter set checks once
  // that its generators have prime order, so every multiple of one has too.
  SubgroupSignature sign_raw_message(std::span<const uint8_t> message, const Seed& seed,
                                     size_t generator_index, const AltJubjubBn256& params) const;

  // The whole signing step: the deterministic nonce, (R, s), and the check that (R, s) verifies against
  // sk·G (fatal otherwise: a correct implementation never fails it). R and A are brought to affine form
  // with one inversion.
  CheckedSignature sign(std::span<const uint8_t> message, size_t generator_index,
                        const AltJubjubBn256& params) const;
};

// Invariant: none; a key from outside may have a small-order component, which verification rejects.
struct PublicKey {
  edwards::Point<edwards::Unknown> a;

  // sk·G, public by definition.
  static PublicKey from_private(const PrivateKey& key, size_t generator_index, const AltJubjubBn256& params);

  // Whether s·G = R + m·A with A and R in the prime-order subgroup. A message longer than 32 bytes
  // counts with its first 32 bytes only.
  bool verify_for_raw_message(std::span<const uint8_t> message, const Signature& signature,
                              size_t generator_index, const AltJubjubBn256& params) const;
};

// Verification of a signature made here by a key derived here: A and R are multiples of the generator,
// so they lie in the prime-order subgroup by construction and only the equation s·G = R + m·A is
// checked (with A and R as given, independently of how s was computed).
bool verify_subgroup_signature(const edwards::Point<edwards::PrimeOrder>& a, std::span<const uint8_t> message,
                               const SubgroupSignature& signature, size_t generator_index,
                               const AltJubjubBn256& params);

}  // namespace tarvo::eddsa
