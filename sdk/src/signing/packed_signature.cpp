#include "sdk/src/signing/packed_signature.h"

#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"

namespace tarvo {

namespace {

U256 parse_signature_text(std::string_view text, const char* what) {
  const auto value = U256::from_hex(trim_hex_prefixes(text));
  if (!value.ok())
    fatal(std::string("signature ") + what + " is not a hexadecimal number: " + value.error().message());
  return *value;
}

edwards::Point<edwards::Unknown> restored(const Result<edwards::Point<edwards::Unknown>>& point) {
  if (!point.ok()) fatal("Failed to restore R point from R_bar: " + point.error().message());
  return *point;
}

edwards::Point<edwards::Unknown> point_from_r(const U256& r) {
  return restored(edwards::read(r.to_le_bytes(), *JUBJUB_PARAMS));
}

Fs signature_scalar(const U256& s) {
  const auto scalar = Fs::from_repr(s.limbs);
  if (!scalar.ok()) fatal("signature scalar: " + scalar.error().message());
  return *scalar;
}

}  // namespace

eddsa::Signature packed_signature_from_str(std::string_view r_text, std::string_view s_text) {
  const U256 r = parse_signature_text(r_text, "r");
  const U256 s = parse_signature_text(s_text, "s");
  const edwards::Point<edwards::Unknown> point = point_from_r(r);
  return {point, signature_scalar(s)};
}

std::pair<eddsa::Signature, std::pair<Fr, Fr>> packed_signature_and_xy_from_r(std::string_view r_text,
                                                                              std::string_view s_text,
                                                                              const U256& encoding) {
  const U256 r = parse_signature_text(r_text, "r");
  const U256 s = parse_signature_text(s_text, "s");
  const auto [r_point, point] = edwards::read_both(r.to_le_bytes(), encoding.to_le_bytes(), *JUBJUB_PARAMS);
  const eddsa::Signature signature{restored(r_point), signature_scalar(s)};
  return {signature, edwards::to_affine(restored(point))};
}

std::pair<Fr, Fr> get_xy_from_r(const U256& r) { return edwards::to_affine(point_from_r(r)); }

}  // namespace tarvo
