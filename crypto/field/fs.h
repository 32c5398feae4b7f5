// Fs: the scalar field of the curve's prime-order subgroup,
// l = 0x060c89ce5c263405370a08b6d0302b0bab3eedb83920ee0a677297dc392126f1 (251 bits).
// Private keys, nonces and signature scalars.
#pragma once

#include <span>

#include "crypto/base/secret.h"
#include "crypto/field/field.h"

namespace tarvo {

struct FsParams {
  static constexpr Limbs MODULUS = {0x677297dc392126f1, 0xab3eedb83920ee0a, 0x370a08b6d0302b0b,
                                    0x060c89ce5c263405};
  static constexpr uint64_t INV = 0x532ce5aebc48f5ef;  // -l^-1 mod 2^64
  static constexpr Limbs R = {0x073315dea08f9c76, 0xe7acffc6a098f24b, 0xf85a9201d818f015, 0x01f16424e1bb7724};
  static constexpr Limbs R2 = {0x35e44abee7ecb21e, 0x74646cacf5f84ec4, 0xe472df203faa158f,
                               0x0445b524f1ba50a8};
  static constexpr Limbs MODULUS_MINUS_ONE_DIV_TWO = {0x33b94bee1c909378, 0xd59f76dc1c907705,
                                                      0x9b85045b68181585, 0x030644e72e131a02};
  // l - 1 = 2^S * T with T odd; ROOT_OF_UNITY = 19^T in Montgomery form (19 is a non-residue).
  static constexpr unsigned S = 4;
  static constexpr Limbs T_MINUS_ONE_DIV_TWO = {0x533b94bee1c90937, 0x5d59f76dc1c90770, 0x29b85045b6818158,
                                                0x0030644e72e131a0};
  static constexpr Limbs ROOT_OF_UNITY = {0x2fb01b009b1974ef, 0x723c0b735eb3e91a, 0x341f16b7f0533dec,
                                          0x04edaec309cf7bc1};
};

using Fs = PrimeField<FsParams>;

// Whether a secret 256-bit value is below l, compared in constant time. Only the answer is made public:
// the rejection sampling of candidates and the parsing of key texts reveal it anyway.
inline bool below_l_declassified(const Limbs& secret) {
  bool below = limbs_less(secret, FsParams::MODULUS);
  declassify(below);
  return below;
}

// The 32 bytes read as a little-endian integer, reduced mod l. Fatal unless exactly 32 bytes.
Fs to_uniform_32(std::span<const uint8_t> bytes);

}  // namespace tarvo
