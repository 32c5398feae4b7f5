// Fr: the BN254 scalar field, r = 0x30644e72e131a029b85045b68181585d2833e84879b9709143e1f593f0000001.
// Base field of the curve and the field of every Poseidon hash.
#pragma once

#include "crypto/field/field.h"

namespace tarvo {

struct FrParams {
  static constexpr Limbs MODULUS = {0x43e1f593f0000001, 0x2833e84879b97091, 0xb85045b68181585d,
                                    0x30644e72e131a029};
  static constexpr uint64_t INV = 0xc2e1f593efffffff;  // -r^-1 mod 2^64
  static constexpr Limbs R = {0xac96341c4ffffffb, 0x36fc76959f60cd29, 0x666ea36f7879462e, 0x0e0a77c19a07df2f};
  static constexpr Limbs R2 = {0x1bb8e645ae216da7, 0x53fe3ab1e35c59e3, 0x8c49833d53bb8085,
                               0x0216d0b17f4e44a5};
  static constexpr Limbs MODULUS_MINUS_ONE_DIV_TWO = {0xa1f0fac9f8000000, 0x9419f4243cdcb848,
                                                      0xdc2822db40c0ac2e, 0x183227397098d014};
  // r - 1 = 2^S * T with T odd; ROOT_OF_UNITY = 5^T in Montgomery form (5 is a non-residue).
  static constexpr unsigned S = 28;
  static constexpr Limbs T_MINUS_ONE_DIV_TWO = {0xcdcb848a1f0fac9f, 0x0c0ac2e9419f4243, 0x098d014dc2822db4,
                                                0x0000000183227397};
  static constexpr Limbs ROOT_OF_UNITY = {0x636e735580d13d9c, 0xa22bf3742445ffd6, 0x56452ac01eb203d8,
                                          0x1860ef942963f9e7};
};

using Fr = PrimeField<FrParams>;

}  // namespace tarvo
