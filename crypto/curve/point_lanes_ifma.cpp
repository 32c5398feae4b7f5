#include "crypto/base/check.h"
#include "crypto/base/target.h"
#include "crypto/curve/point_lanes_ifma_x86_64.h"

#if TARVO_X86_64

namespace tarvo::edwards::point_lanes {

TARVO_TARGET_IFMA __attribute__((flatten)) void double_in_lanes(const Lanes4& p, Lanes4& doubled_p) {
  store(doubled(load(p)), doubled_p);
  TARVO_CHECK(lanes_at_most(doubled_p, COORDINATE_BOUND), "a doubling's coordinates below 1.2r");
}

TARVO_TARGET_IFMA __attribute__((flatten)) void add_in_lanes(const Lanes4& p, const Lanes4& addend,
                                                             uint64_t negative, Lanes4& sum_p) {
  TARVO_CHECK(lanes_at_most(addend, ADDEND_BOUND), "an addend at most 2r");
  // All four lanes or none, from the flag without a branch.
  store(sum(load(p), load(addend), static_cast<__mmask8>(0xf & (0 - negative))), sum_p);
  TARVO_CHECK(lanes_at_most(sum_p, COORDINATE_BOUND), "an addition's coordinates below 1.2r");
}

TARVO_TARGET_IFMA __attribute__((flatten)) void addend_in_lanes(const Lanes4& p, const Lanes4& factors,
                                                                Lanes4& addend) {
  store(addend_of(load(p), load(factors)), addend);
  TARVO_CHECK(lanes_at_most(addend, PREPARED_ADDEND_BOUND), "a prepared addend below 1.1r");
}

}  // namespace tarvo::edwards::point_lanes

#endif
