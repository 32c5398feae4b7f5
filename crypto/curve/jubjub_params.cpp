#include "crypto/curve/jubjub_params.h"

#include "crypto/curve/embedded_tables.h"

namespace tarvo {

AltJubjubBn256::AltJubjubBn256() {
  const std::span<const AffineLimbs> embedded = embedded_generators();
  ensure(embedded.size() == generators_.size(), "embedded generator count");
  for (size_t i = 0; i < generators_.size(); ++i) {
    const Result<Fr> x = Fr::from_repr(embedded[i].x), y = Fr::from_repr(embedded[i].y);
    ensure(x.ok() && y.ok(), "embedded generator out of range");
    generators_[i] = {*x, *y, *x * *y, Fr::one()};
  }
}

const edwards::Point<edwards::PrimeOrder>& AltJubjubBn256::generator(size_t index) const {
  ensure(index < generators_.size(), "generator index out of bounds");
  return generators_[index];
}

edwards::Point<edwards::PrimeOrder> AltJubjubBn256::mul_generator(size_t index, const Fs& k) const {
  if (index != GENERATOR_INDEX) return edwards::mul(generator(index), k, *this);
  std::call_once(generator5_table_built_,
                 [this] { generator5_table_.emplace(embedded_generator5_multiples(), *this); });
  return generator5_table_->mul(k);
}

const edwards::PublicBaseTable& AltJubjubBn256::public_generator_table(size_t index) const {
  const edwards::Point<edwards::PrimeOrder>& base = generator(index);
  std::call_once(public_tables_built_[index], [&] {
    public_tables_[index] = std::make_unique<const edwards::PublicBaseTable>(base, *this);
  });
  return *public_tables_[index];
}

const AltJubjubBn256& SharedJubjubParams::operator*() const {
  // Never freed: the set must outlive every caller, including those running at process exit.
  static const AltJubjubBn256* const params = new AltJubjubBn256();
  return *params;
}

}  // namespace tarvo
