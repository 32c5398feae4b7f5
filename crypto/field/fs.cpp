#include "crypto/field/fs.h"

#include "crypto/base/fatal.h"

namespace tarvo {

Fs to_uniform_32(std::span<const uint8_t> bytes) {
  ensure(bytes.size() == 32, "assertion failed: to_uniform_32 takes exactly 32 bytes");
  return Fs::from_le_bytes_reduced(bytes.first<32>());
}

}  // namespace tarvo
