#include "sdk/src/tx/packed_signature.h"

#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"
#include "sdk/src/json/writer.h"
#include "sdk/src/tx/convert.h"

namespace tarvo {

namespace {

U256 parse_signature_text(std::string_view text, const char* what) {
  const auto value = U256::from_hex(trim_hex_prefixes(text));
  if (!value.ok())
    fatal(std::string("signature ") + what + " is not a hexadecimal number: " + value.error().message());
  return *value;
}

Fr field_coordinate(const U256& value) {
  const auto element = Fr::from_repr(value.limbs);
  if (!element.ok()) fatal("signature point coordinate: " + element.error().message());
  return *element;
}

}  // namespace

std::string signature_to_json(const JubjubSignature& signature) {
  const auto r = point_from_xy(signature.r.x, signature.r.y);
  const U256 packed_r = le_to_u256(edwards::write(r));
  // Hexadecimal texts are ASCII: the writer cannot refuse them.
  return json::compact_object({{"r", packed_r.to_hex()}, {"s", signature.s.to_hex()}}).value();
}

JubjubSignature jubjub_signature_from_str(std::string_view r_text, std::string_view s_text) {
  const U256 r = parse_signature_text(r_text, "r");
  const U256 s = parse_signature_text(s_text, "s");
  const auto [x, y] = get_xy_from_r(r);
  return {{fr_to_u256(x), fr_to_u256(y)}, s};
}

eddsa::Signature to_packed_signature(const JubjubSignature& signature) {
  const auto r = point_from_xy(signature.r.x, signature.r.y);
  const auto s = Fs::from_repr(signature.s.limbs);
  if (!s.ok()) fatal("signature scalar: " + s.error().message());
  return {r, *s};
}

std::pair<Fr, Fr> get_xy_from_r(const U256& r) {
  const auto bytes = r.to_le_bytes();
  const auto point = edwards::read(bytes, *JUBJUB_PARAMS);
  if (!point.ok()) fatal("Failed to restore R point from R_bar: " + point.error().message());
  return edwards::to_affine(*point);
}

edwards::Point<edwards::Unknown> point_from_xy(const U256& x, const U256& y) {
  const auto point = edwards::from_xy(field_coordinate(x), field_coordinate(y), *JUBJUB_PARAMS);
  if (!point) fatal("signature point is not on the curve");
  return *point;
}

}  // namespace tarvo
