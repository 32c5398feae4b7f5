#include "crypto/poseidon/poseidon.h"

#include "crypto/poseidon/embedded_spec.h"

namespace tarvo {

Poseidon::Poseidon(const poseidon::Spec<poseidon::WIDTH>& spec) : spec_(&spec) {
  state_[0] = Fr::from_u128(0, 1);
}

Fr Poseidon::update_exact(std::span<const Fr, poseidon::RATE> elements) {
  for (size_t i = 0; i < poseidon::RATE; ++i) state_[i + 1] += elements[i];
  spec_->permute(state_);
  return state_[1];
}

const Poseidon& poseidon_hasher() {
  static const poseidon::Spec<poseidon::WIDTH> SPEC = poseidon::Spec<poseidon::WIDTH>::from_elements(
      poseidon::FULL_ROUNDS, poseidon::PARTIAL_ROUNDS, poseidon::embedded_spec_elements());
  static const Poseidon POSEIDON_HASHER(SPEC);
  return POSEIDON_HASHER;
}

}  // namespace tarvo
