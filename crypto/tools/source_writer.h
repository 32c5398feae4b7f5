// Helpers of the table generators, which write C++ source to standard output.
#pragma once

#include <cstdio>

#include "crypto/field/limbs.h"

namespace tarvo::tools {

// A Limbs initialiser: {0x…ull, 0x…ull, 0x…ull, 0x…ull}, least significant limb first.
inline void print_limbs(const Limbs& limbs) {
  std::printf("{0x%016llxull, 0x%016llxull, 0x%016llxull, 0x%016llxull}",
              static_cast<unsigned long long>(limbs[0]), static_cast<unsigned long long>(limbs[1]),
              static_cast<unsigned long long>(limbs[2]), static_cast<unsigned long long>(limbs[3]));
}

}  // namespace tarvo::tools
