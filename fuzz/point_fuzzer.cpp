// Fuzzes the 32-byte point decoder (tarvo::edwards::read): a decoded point lies on the curve, has a
// canonical y, and its encoding decodes to the same point; anything else is refused with one of the
// decoder's three texts.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"
#include "fuzz/invariants.h"

using tarvo::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const tarvo::AltJubjubBn256& params = *tarvo::JUBJUB_PARAMS;
  const std::span<const uint8_t> bytes(data, size);
  const auto point = tarvo::edwards::read(bytes, params);
  if (!point) {
    const std::string& message = point.error().message();
    require(size >= 32 || message == "failed to fill whole buffer", "a short input gives another error",
            message);
    require(message == "failed to fill whole buffer" || message == "y is not in field" ||
                message == "not on curve",
            "unexpected point decoding error", message);
    return 0;
  }
  require(size >= 32, "a short input decodes");
  const auto [x, y] = tarvo::edwards::to_affine(*point);
  require(tarvo::edwards::from_xy(x, y, params).has_value(), "a decoded point is not on the curve");
  const std::array<uint8_t, 32> encoded = tarvo::edwards::write(*point);
  std::array<uint8_t, 32> expected{};
  std::copy_n(data, 32, expected.begin());
  if (x.is_zero()) expected[31] &= 0x7f;  // x = 0 has no odd form: the parity bit is dropped
  require(encoded == expected, "the encoding of a decoded point is not its input");
  const auto again = tarvo::edwards::read(encoded, params);
  require(again && *again == *point, "the encoding of a decoded point decodes to another point");
  return 0;
}
