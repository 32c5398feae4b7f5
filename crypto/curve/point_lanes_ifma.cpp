#include "crypto/base/target.h"
#include "crypto/curve/point_lanes_ifma_x86_64.h"

#if TARVO_X86_64

namespace tarvo::edwards::point_lanes {

#define TARVO_IFMA_OUT_OF_LINE __attribute__((target("avx512f,avx512vl,avx512bw,avx512ifma"), flatten))

TARVO_IFMA_OUT_OF_LINE void double_in_lanes(Lanes4& p) { store(doubled(load(p)), p); }

TARVO_IFMA_OUT_OF_LINE void add_in_lanes(Lanes4& p, const Lanes4& addend) {
  store(sum(load(p), load(addend)), p);
}

}  // namespace tarvo::edwards::point_lanes

#endif
