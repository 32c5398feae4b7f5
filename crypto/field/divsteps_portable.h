// The steps of a divstep round of the constant-time inversion (divsteps.h, which picks between these
// and their x86-64 twin in divsteps_x86_64.h) in portable C++: branch-free, at most 20 steps, unrolled.
// In an unnamed namespace like the rest of the divsteps (see divsteps.h).
#pragma once

#include <cstdint>

namespace tarvo::modinv {
namespace {

// Steps of the round on h = (w_f - 1) / 2 (w_f is odd, as f is) and w_g. With g odd,
// (g + f) / 2 = (g >> 1) + h + 1 and (g - f) / 2 = (g >> 1) - h, and after a swap h is g >> 1. The 1
// is g's low bit, added apart from the masked h so that it stays off the chain from one step to the next.
template <int Steps>
void round_steps_portable(int64_t& zeta, int64_t& h, int64_t& g) {
#pragma GCC unroll 20
  for (int i = 0; i < Steps; ++i) {
    const int64_t g_half = g >> 1;
    const int64_t may_swap = zeta >> 63;
    const int64_t odd = -(g & 1);
    const int64_t swap = may_swap & odd;
    g = (g_half - odd) + ((h ^ may_swap) & odd);
    h ^= (h ^ g_half) & swap;
    zeta = (zeta ^ swap) - 1;
  }
}

}  // namespace
}  // namespace tarvo::modinv
