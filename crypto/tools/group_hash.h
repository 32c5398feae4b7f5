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

#include "crypto/curve/jubjub_params.h"

namespace tarvo {

// 8 times the point that the digest of the input encodes; no value when the digest is not a point
// encoding or the multiple is the neutral element. Fatal unless the personalisation has 8 bytes.
std::optional<edwards::Point<edwards::PrimeOrder>> baby_group_hash(std::span<const uint8_t> input,
                                                                   std::string_view personalisation,
                                                                   const CurveCoefficient& curve);

// The first point that baby_group_hash gives for the tag followed by one counter byte 0, 1, ...;
// fatal when the counter reaches 255.
edwards::Point<edwards::PrimeOrder> find_group_hash(std::string_view tag, std::string_view personalisation,
                                                    const CurveCoefficient& curve);

// The six generators of AltJubjubBn256, found by the group hash from their tags and personalisations;
// fatal if they are not pairwise distinct points of the prime-order subgroup other than (0, 1).
std::array<edwards::Point<edwards::PrimeOrder>, AltJubjubBn256::GENERATOR_COUNT> derive_generators();

}  // namespace tarvo
