// The choice among a kernel set's implementations. A kernel set is an enum class with, beside it, a
// constexpr list of its members in the enum's order (`kernel_list(Kernels{})`, a span found by
// argument-dependent lookup): each with its name and the capability it needs, the portable one first and
// the fastest last. The fastest that the
// CPU runs is chosen once per process; tests and benchmarks name the others.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "crypto/base/cpu_features.h"

namespace tarvo {

template <typename Kernels>
struct KernelEntry {
  Kernels kernels;
  const char* name;
  Capability needs;
};

// Those this CPU runs, the fastest last.
template <typename Kernels>
std::vector<Kernels> available_kernels() {
  std::vector<Kernels> out;
  for (const KernelEntry<Kernels>& entry : kernel_list(Kernels{})) {
    if (cpu_has(entry.needs)) out.push_back(entry.kernels);
  }
  return out;
}

// The fastest this CPU runs. The copy in a local static keeps the check in every call to one load.
template <typename Kernels>
Kernels fastest_kernels() {
  static const Kernels fastest = available_kernels<Kernels>().back();
  return fastest;
}

template <typename Kernels>
const char* kernels_name(Kernels kernels) {
  return kernel_list(Kernels{})[static_cast<size_t>(kernels)].name;
}

}  // namespace tarvo
