#include "crypto/field/limbs.h"

#include <cstdio>

namespace tarvo {

std::string limbs_to_hex(const Limbs& limbs) {
  char text[67];
  std::snprintf(text, sizeof text, "0x%016llx%016llx%016llx%016llx",
                static_cast<unsigned long long>(limbs[3]), static_cast<unsigned long long>(limbs[2]),
                static_cast<unsigned long long>(limbs[1]), static_cast<unsigned long long>(limbs[0]));
  return text;
}

}  // namespace tarvo
