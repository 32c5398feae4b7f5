#include "crypto/base/wipe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <new>

namespace tarvo {
namespace {

size_t zero_bytes_when_freed = 0;

// A secret wiped by its destructor, the last stores to it before its lifetime ends: GCC drops such stores
// as dead unless something keeps them. Its own deallocation counts the zero bytes left in its storage.
struct Secret {
  std::array<uint8_t, 96> bytes;
  ~Secret() { wipe(bytes.data(), bytes.size()); }
  static void operator delete(void* storage) {
    const auto* first = static_cast<const uint8_t*>(storage);
    zero_bytes_when_freed = static_cast<size_t>(std::count(first, first + sizeof(Secret), 0));
    ::operator delete(storage);
  }
};

TEST(Wipe, SecretReadsAllZeroWhenFreed) {
  for (const uint8_t fill : {0x01, 0xa5, 0xff}) {
    auto* secret = new Secret;
    secret->bytes.fill(fill);
    delete secret;
    EXPECT_EQ(zero_bytes_when_freed, sizeof(Secret)) << "filled with " << int{fill};
  }
}

}  // namespace
}  // namespace tarvo
