#include "sdk/src/hashing/hash.h"

namespace tarvo {

void update_word_group(PoseidonHasher& hasher, const U256& value) {
  hasher.update(value.limbs[0]);
  hasher.update(value.limbs[1]);
  hasher.update(value.limbs[2]);
  hasher.update(value.limbs[3] & 0x7fffffffffffffff);
}

U256 hash2(const U256& a, const U256& b) {
  PoseidonHasher hasher;
  update_word_group(hasher, a);
  update_word_group(hasher, b);
  return U256{hasher.finalize()};
}

}  // namespace tarvo
