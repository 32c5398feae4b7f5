#include "crypto/curve/jubjub_params.h"

#include <string_view>

#include "crypto/base/fatal.h"
#include "crypto/curve/edwards.h"
#include "crypto/curve/group_hash.h"

namespace tarvo {

namespace {

constexpr std::string_view kEdwardsD =
    "12181644023421730124874158521699555681764249180949974110617291017600649128846";

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

Fr parse_d() {
  const std::optional<Fr> d = Fr::from_str(kEdwardsD);
  ensure(d.has_value(), "edwards d does not parse");
  return *d;
}

std::array<edwards::Point<edwards::PrimeOrder>, AltJubjubBn256::GENERATOR_COUNT> derive_generators(
    const JubjubParams& params) {
  std::array<edwards::Point<edwards::PrimeOrder>, AltJubjubBn256::GENERATOR_COUNT> generators;
  for (size_t i = 0; i < generators.size(); ++i) {
    generators[i] = find_group_hash(kGeneratorSeeds[i].tag, kGeneratorSeeds[i].personalisation, params);
  }
  // Signing relies on the signing generator having prime order (its multiples need no subgroup check).
  ensure(edwards::is_zero(edwards::mul_var(generators[5], Fs::characteristic(), params)),
         "the signing generator is not of prime order");
  for (size_t i = 0; i < generators.size(); ++i) {
    ensure(!edwards::is_zero(generators[i]), "Neutral element!");
    for (size_t j = i + 1; j < generators.size(); ++j) {
      ensure(!(generators[i] == generators[j]), "Duplicate generator!");
    }
  }
  return generators;
}

}  // namespace

// The generators are derived with d already set: the group hash reads it through *this.
AltJubjubBn256::AltJubjubBn256() : d_(parse_d()), generators_(derive_generators(*this)) {}

const edwards::Point<edwards::PrimeOrder>& AltJubjubBn256::generator(size_t index) const {
  ensure(index < generators_.size(), "generator index out of bounds");
  return generators_[index];
}

edwards::Point<edwards::PrimeOrder> AltJubjubBn256::mul_generator(size_t index, const Fs& k) const {
  if (index != 5) return edwards::mul(generator(index), k, *this);
  std::call_once(generator5_table_built_, [this] { generator5_table_.emplace(generators_[5], *this); });
  return generator5_table_->mul(k);
}

const AltJubjubBn256& SharedJubjubParams::operator*() const {
  // Never freed: the set must outlive every caller, including those running at process exit.
  static const AltJubjubBn256* const params = new AltJubjubBn256();
  return *params;
}

}  // namespace tarvo
