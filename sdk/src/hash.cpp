#include "sdk/src/hash.h"

#include "sdk/src/zkw/poseidon.h"

namespace tarvo {

U256 hash2(const U256& a, const U256& b) {
  PoseidonHasher hasher;
  for (const U256* value : {&a, &b}) {
    hasher.update(value->limbs[0]);
    hasher.update(value->limbs[1]);
    hasher.update(value->limbs[2]);
    hasher.update(value->limbs[3] & 0x7fffffffffffffff);
  }
  return U256{hasher.finalize()};
}

}  // namespace tarvo
