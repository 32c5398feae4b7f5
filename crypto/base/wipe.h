// Overwriting secrets in buffers about to be freed or to go out of scope.
#pragma once

#include <cstddef>
#include <cstring>

namespace tarvo {

// Sets `size` bytes at `data` to zero. A plain memset before a buffer's end is a dead store the optimiser
// may drop (GCC does so in destructors); the empty assembly statement after it claims to read that
// memory, so the zeros are written whatever follows. The same on every GCC or Clang target, no
// platform call needed.
inline void wipe(void* data, size_t size) {
  std::memset(data, 0, size);
  asm volatile("" : : "r"(data) : "memory");
}

}  // namespace tarvo
