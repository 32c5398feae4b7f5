// The group hash that derives the fixed generators: BLAKE2s, personalised, over a fixed first block and
// the input, read as a point encoding and cleared of the cofactor. It runs when the committed tables are
// regenerated (crypto/tools/generated_tables.h) and in the tests; the library itself carries only its
// results.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "crypto/base/fatal.h"
#include "crypto/curve/jubjub_params.h"

namespace tarvo {

// The curve without its generators: all that the search for them and the tables derived from them read
// is d.
class CurveCoefficient final : public JubjubParams {
 public:
  const Fr& edwards_d() const override { return d_; }
  const edwards::Point<edwards::PrimeOrder>& generator(size_t) const override {
    fatal("the generators are still being derived");
  }
  edwards::Point<edwards::PrimeOrder> mul_generator(size_t, const Fs&) const override {
    fatal("the generators are still being derived");
  }
  const edwards::PublicBaseTable& public_generator_table(size_t) const override {
    fatal("the generators are still being derived");
  }
  bool in_prime_order_subgroup_var(const edwards::Point<edwards::Unknown>&) const override {
    fatal("the generators are still being derived");
  }

 private:
  Fr d_ = AltJubjubBn256::parse_edwards_d();
};

// 8 times the point that the digest of the input encodes; no value when the digest is not a point
// encoding or the multiple is the neutral element. Fatal unless the personalisation has 8 bytes.
std::optional<edwards::Point<edwards::PrimeOrder>> baby_group_hash(std::span<const uint8_t> input,
                                                                   std::string_view personalisation,
                                                                   const JubjubParams& params);

// The first point that baby_group_hash gives for the tag followed by one counter byte 0, 1, ...;
// fatal when the counter reaches 255.
edwards::Point<edwards::PrimeOrder> find_group_hash(std::string_view tag, std::string_view personalisation,
                                                    const JubjubParams& params);

// The six generators of AltJubjubBn256, found by the group hash from their tags and personalisations;
// fatal if they are not pairwise distinct points of the prime-order subgroup other than (0, 1).
std::array<edwards::Point<edwards::PrimeOrder>, AltJubjubBn256::GENERATOR_COUNT> derive_generators();

}  // namespace tarvo
