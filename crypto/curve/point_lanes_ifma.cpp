#include "crypto/base/target.h"
#include "crypto/curve/point_lanes_ifma_x86_64.h"

#if TARVO_X86_64

namespace tarvo::edwards::point_lanes {

#define TARVO_IFMA_OUT_OF_LINE __attribute__((target("avx512f,avx512vl,avx512bw,avx512ifma"), flatten))

TARVO_IFMA_OUT_OF_LINE void double_in_lanes(const Lanes4& p, Lanes4& doubled_p) {
  store(doubled(load(p)), doubled_p);
}

TARVO_IFMA_OUT_OF_LINE void add_in_lanes(const Lanes4& p, const Lanes4& addend, Lanes4& sum_p) {
  store(sum(load(p), load(addend)), sum_p);
}

}  // namespace tarvo::edwards::point_lanes

#endif
