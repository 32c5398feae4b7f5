#include "crypto/tools/group_hash.h"

#include <blake2.h>

#include <array>
#include <cstring>
#include <vector>

#include "crypto/base/fatal.h"
#include "crypto/curve/edwards.h"

namespace tarvo {

namespace {

struct GeneratorSeed {
  std::string_view tag;
  std::string_view personalisation;
};

constexpr std::array<GeneratorSeed, AltJubjubBn256::GENERATOR_COUNT> kGeneratorSeeds = {{
    {"", "Zcash_H_"},
    {"r", "Zcash_PH"},
    {"", "Zcash_J_"},
    {"v", "Zcash_cv"},
    {"r", "Zcash_cv"},
    {"", "Zcash_G_"},
}};

// Hashed as its 64 ASCII characters, not as the 32 bytes the digits spell.
constexpr std::string_view kFirstBlock = "096b36a5804bfacef1691e173c366a47ff5ba84a44f26ddd7e8d9f79d5b42df0";

std::array<uint8_t, 32> blake2s_personalised(std::span<const uint8_t> input,
                                             std::string_view personalisation) {
  ensure(personalisation.size() == BLAKE2S_PERSONALBYTES, "group hash personalisation must be 8 bytes");
  blake2s_param param;
  std::memset(&param, 0, sizeof param);
  param.digest_length = BLAKE2S_OUTBYTES;
  param.fanout = 1;
  param.depth = 1;
  std::memcpy(param.personal, personalisation.data(), BLAKE2S_PERSONALBYTES);

  blake2s_state state;
  std::array<uint8_t, 32> digest{};
  static_assert(BLAKE2S_OUTBYTES == digest.size());
  const bool hashed =
      blake2s_init_param(&state, &param) == 0 &&
      blake2s_update(&state, reinterpret_cast<const uint8_t*>(kFirstBlock.data()), kFirstBlock.size()) == 0 &&
      blake2s_update(&state, input.data(), input.size()) == 0 &&
      blake2s_final(&state, digest.data(), digest.size()) == 0;
  ensure(hashed, "BLAKE2s failed");
  return digest;
}

}  // namespace

std::optional<edwards::Point<edwards::PrimeOrder>> baby_group_hash(std::span<const uint8_t> input,
                                                                   std::string_view personalisation,
                                                                   const CurveCoefficient& curve) {
  const Result<edwards::Point<edwards::Unknown>> decoded =
      edwards::read(blake2s_personalised(input, personalisation), curve);
  if (!decoded) return std::nullopt;
  const edwards::Point<edwards::Unknown> cleared =
      edwards::doubled(edwards::doubled(edwards::doubled(*decoded)));
  if (edwards::is_zero(cleared)) return std::nullopt;
  // The cofactor is 8, so 8 times any curve point lies in the prime-order subgroup.
  return edwards::Point<edwards::PrimeOrder>{cleared.x, cleared.y, cleared.t, cleared.z};
}

edwards::Point<edwards::PrimeOrder> find_group_hash(std::string_view tag, std::string_view personalisation,
                                                    const CurveCoefficient& curve) {
  std::vector<uint8_t> input(tag.begin(), tag.end());
  input.push_back(0);
  for (;;) {
    const auto point = baby_group_hash(input, personalisation, curve);
    ensure(input.back() < 255, "group hash counter reached 255");
    ++input.back();
    if (point) return *point;
  }
}

std::array<edwards::Point<edwards::PrimeOrder>, AltJubjubBn256::GENERATOR_COUNT> derive_generators() {
  const CurveCoefficient curve;
  std::array<edwards::Point<edwards::PrimeOrder>, AltJubjubBn256::GENERATOR_COUNT> generators;
  for (size_t i = 0; i < generators.size(); ++i) {
    generators[i] = find_group_hash(kGeneratorSeeds[i].tag, kGeneratorSeeds[i].personalisation, curve);
  }
  // Signing relies on the signing generator having prime order (its multiples need no subgroup check).
  ensure(edwards::is_zero(edwards::mul_var(generators[5], Fs::characteristic(), curve)),
         "the signing generator is not of prime order");
  for (size_t i = 0; i < generators.size(); ++i) {
    ensure(!edwards::is_zero(generators[i]), "Neutral element!");
    for (size_t j = i + 1; j < generators.size(); ++j) {
      ensure(!(generators[i] == generators[j]), "Duplicate generator!");
    }
  }
  return generators;
}

}  // namespace tarvo
