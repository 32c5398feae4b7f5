// The secret paths under valgrind's memcheck with the secret marked as undefined memory: signing and
// layer-one signing with the private key's digits secret, the key derivation from a secret seed, and the
// constant-time multiplication of a variable base by a secret scalar.
// memcheck then reports every conditional jump and every memory address that depends on the secret or
// on the nonce derived from it. Run by CTest under valgrind; zero reports (beyond the deliberate
// control) is the pass condition. Outside valgrind the marks do nothing and the program just signs.
//   ct_signing_check [detected | adx]
// detected (the default): the kernels the CPU detection chooses; under valgrind, whose CPU model hides ADX,
// SHA and AVX-512, the portable field kernels, scan and SHA-256 compression. adx: the
// MULX/ADCX/ADOX field kernels, which valgrind executes, and with them the AVX2 scan; where the AVX2 scan
// is not chosen (a CPU without AVX2), exits with 77 (skipped) after a clean run with the others.
#include <valgrind/memcheck.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "crypto/base/cpu_features.h"
#include "crypto/base/sha256.h"
#include "crypto/curve/edwards.h"
#include "crypto/curve/fixed_base.h"
#include "crypto/curve/jubjub_params.h"
#include "crypto/field/montgomery.h"
#include "sdk/src/functions/core.h"
#include "sdk/src/functions/l1_sign.h"
#include "sdk/src/signing/convert.h"
#include "sdk/src/signing/packed_public_key.h"
#include "sdk/src/signing/sign.h"

namespace {

// Signs one message with a key whose 64 hexadecimal digits are secret; the "0x" in front is format.
bool sign_with_secret_key(std::string key_text, const tarvo::U256& message) {
  VALGRIND_MAKE_MEM_UNDEFINED(key_text.data() + 2, key_text.size() - 2);
  const auto key = tarvo::private_key_from_string(key_text);
  if (!key.ok()) return false;
  const tarvo::TxSignature signature = tarvo::TxSignature::sign_msg(*key, tarvo::message_bytes(message));
  const tarvo::JubjubSignature affine = signature.to_jubjub_signature();
  VALGRIND_MAKE_MEM_DEFINED(&affine, sizeof affine);
  std::printf("%s\n", affine.to_json().c_str());
  return !affine.s.is_zero();
}

// Layer-one signing with a secret key; the five coordinates it returns are public.
bool l1_sign_with_secret_key(std::string key_text, const std::string& message) {
  VALGRIND_MAKE_MEM_UNDEFINED(key_text.data() + 2, key_text.size() - 2);
  const auto signature = tarvo::sdk::l1_sign(message, key_text);
  if (!signature.ok()) return false;
  for (const std::string* text :
       {&signature->x, &signature->y, &signature->s, &signature->pk_x, &signature->pk_y}) {
    VALGRIND_MAKE_MEM_DEFINED(text->data(), text->size());
  }
  std::printf("l1 s %s pk_x %s\n", signature->s.c_str(), signature->pk_x.c_str());
  return true;
}

// The private key derived from a secret seed stays secret: it is checked, not printed.
bool key_from_secret_seed(std::string seed) {
  VALGRIND_MAKE_MEM_UNDEFINED(seed.data(), seed.size());
  const auto key = tarvo::sdk::private_key_from_seed(seed);
  return key.ok() && key->size() == 66;
}

// k·p for a secret k through the multiplication that takes any base (the generators other than the
// table's); only the multiplication is under check, so its product is taken as public.
bool mul_by_secret_scalar(tarvo::Limbs k) {
  VALGRIND_MAKE_MEM_UNDEFINED(k.data(), sizeof k);
  const auto& params = *tarvo::JUBJUB_PARAMS;
  const auto product = tarvo::edwards::mul(params.generator(0), k, params);
  VALGRIND_MAKE_MEM_DEFINED(&product, sizeof product);
  return !tarvo::edwards::is_zero(product);
}

// A branch on one undefined byte must be reported: proves on every run that the marks take effect.
unsigned long control_reports() {
  volatile unsigned char probe = 1;
  VALGRIND_MAKE_MEM_UNDEFINED(const_cast<unsigned char*>(&probe), 1);
  if (probe == 1) std::puts("control branch taken");
  return VALGRIND_COUNT_ERRORS;
}

const char* scan_name(tarvo::edwards::FixedBaseKernels kernels) {
  using Kernels = tarvo::edwards::FixedBaseKernels;
  switch (kernels) {
    case Kernels::avx2_adx:
      return "AVX2 scan, MULX/ADCX/ADOX additions";
    case Kernels::avx512_adx:
      return "AVX-512 scan, MULX/ADCX/ADOX additions";
    case Kernels::avx512_ifma:
      return "AVX-512 scan, IFMA additions";
    default:
      return "portable";
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "detected";
  if (mode != "detected" && mode != "adx") {
    std::printf("usage: ct_signing_check [detected | adx]\n");
    return 2;
  }
  if (mode == "adx") tarvo::assume_adx_for_check();
  const tarvo::CpuFeatures& cpu = tarvo::cpu_features();
  const auto scan = tarvo::fastest_kernels<tarvo::edwards::FixedBaseKernels>();
  std::printf("CPU features: adx %d sha %d avx2 %d avx512 %d ifma %d%s\n", cpu.adx, cpu.sha, cpu.avx2,
              cpu.avx512, cpu.ifma, mode == "adx" ? " (adx assumed)" : "");
  std::printf("field kernels: %s\n",
              tarvo::montgomery::cpu_has_adx() ? "MULX/ADCX/ADOX assembly" : "portable");
  std::printf("SHA-256 compression: %s\n",
              tarvo::sha256_kernel::cpu_has_sha_extensions() ? "SHA extensions" : "portable");
  std::printf("fixed-base multiplication: %s\n", scan_name(scan));
  const unsigned long control = control_reports();
  if (RUNNING_ON_VALGRIND && control != 1) {
    std::printf("memcheck did not report the control branch (%lu reports)\n", control);
    return 1;
  }
  const tarvo::U256 message{{0x0123456789abcdef, 0xfedcba9876543210, 0x1111111111111111, 0x0222222222222222}};
  const bool signed_all =
      sign_with_secret_key("0x05695cb4644bdc16bfc00a0feab1b7aa3b67ea509a4bf6fa87efd120beb24b17", message) &&
      sign_with_secret_key("0x0000000000000000000000000000000000000000000000000000000000000001", message) &&
      sign_with_secret_key("0x060c89ce5c263405370a08b6d0302b0bab3eedb83920ee0a677297dc392126f0", message) &&
      l1_sign_with_secret_key("0x05695cb4644bdc16bfc00a0feab1b7aa3b67ea509a4bf6fa87efd120beb24b17",
                              "0x0222222222222222111111111111111fedcba98765432100123456789abcdef") &&
      key_from_secret_seed("a seed of at least thirty-two bytes, all of them secret") &&
      mul_by_secret_scalar({0x0123456789abcdef, 0x8888888888888888, 0xfedcba9876543210, 0xffffffffffffffff});
  const unsigned long errors = VALGRIND_COUNT_ERRORS - control;
  std::printf("%s; memcheck reports: %lu\n", signed_all ? "signed" : "signing failed", errors);
  if (!signed_all || errors != 0) return 1;
  if (mode == "adx" && scan != tarvo::edwards::FixedBaseKernels::avx2_adx) {
    std::printf("skipped: the AVX2 scan was not chosen (it needs AVX2; outside valgrind AVX-512 wins)\n");
    return 77;
  }
  return 0;
}
