// Out-of-line copies of the field kernels for both moduli, of the partly reduced ones of the fixed-base
// additions and of the constant-time divstep batches (the target's and the portable ones), compiled with
// the library's flags, for the branch check (check_branch_free.sh): the disassembly of this object must
// show no conditional branch in any of them. Inlined into the library the kernels compile the same way.
// Poseidon's IFMA kernels are here too, one full round and one block's column updates: valgrind cannot
// execute AVX-512, so the check also follows their addresses (check_branch_free.sh --addresses).
// The point operations of the variable-base multiplications on partly reduced values are here as well.
#include <tuple>

#include "crypto/curve/partly_reduced_x86_64.h"
#include "crypto/field/divsteps.h"
#include "crypto/field/fr.h"
#include "crypto/field/fs.h"
#include "crypto/field/montgomery.h"
#include "crypto/field/montgomery_dot.h"
#include "crypto/field/partly_reduced_x86_64.h"
#include "crypto/poseidon/permute_ifma_x86_64.h"

namespace tarvo::montgomery {
namespace {

template <typename Params>
Limbs mul_portable_of(const Limbs& a, const Limbs& b) {
  return mul_portable(a, b, Params::MODULUS, Params::INV);
}

template <typename Params>
Limbs reduce_once_of(Limbs value) {
  reduce_once(value, Params::MODULUS);
  return value;
}

}  // namespace

extern "C" {
void tarvo_probe_fr_mul_portable(const Limbs* a, const Limbs* b, Limbs* out) {
  *out = mul_portable_of<FrParams>(*a, *b);
}
void tarvo_probe_fs_mul_portable(const Limbs* a, const Limbs* b, Limbs* out) {
  *out = mul_portable_of<FsParams>(*a, *b);
}
void tarvo_probe_fr_reduce_once(const Limbs* value, Limbs* out) { *out = reduce_once_of<FrParams>(*value); }
void tarvo_probe_fr_add_mod(const Limbs* a, const Limbs* b, Limbs* out) {
  *out = add_mod(*a, *b, FrParams::MODULUS);
}
void tarvo_probe_fr_sub_mod(const Limbs* a, const Limbs* b, Limbs* out) {
  *out = sub_mod(*a, *b, FrParams::MODULUS);
}
void tarvo_probe_fr_dot_portable(const Limbs* a, const Limbs* b, Limbs* out) {
  *out = dot_portable<9>(std::span<const Limbs, 9>(a, 9), std::span<const Limbs, 9>(b, 9), FrParams::MODULUS,
                         FrParams::INV);
}
void tarvo_probe_fr_mul_add_portable(const Limbs* a, const Limbs* b, const Limbs* c, Limbs* out) {
  *out = mul_add_portable(*a, *b, *c, FrParams::MODULUS, FrParams::INV);
}
#if TARVO_X86_64
void tarvo_probe_fr_mul_add_adx(const Limbs* a, const Limbs* b, const Limbs* c, Limbs* out) {
  *out = mul_add_adx(*a, *b, *c, FrParams::MODULUS, FrParams::INV);
}
void tarvo_probe_fr_dot_adx(const Limbs* a, const Limbs* b, Limbs* out) {
  *out = dot_adx<9>(std::span<const Limbs, 9>(a, 9), std::span<const Limbs, 9>(b, 9), FrParams::MODULUS,
                    FrParams::INV);
}
void tarvo_probe_fr_dot_add_adx(const Limbs* a, const Limbs* b, const Limbs* c, Limbs* out) {
  *out = dot_add_adx<4>(std::span<const Limbs, 4>(a, 4), std::span<const Limbs, 4>(b, 4), *c,
                        FrParams::MODULUS, FrParams::INV);
}
void tarvo_probe_fr_mul_adx(const Limbs* a, const Limbs* b, Limbs* out) {
  *out = mul_adx(*a, *b, FrParams::MODULUS, FrParams::INV);
}
void tarvo_probe_fr_sqr_adx(const Limbs* a, Limbs* out) {
  *out = sqr_adx(*a, FrParams::MODULUS, FrParams::INV);
}
#endif
}

}  // namespace tarvo::montgomery

#if TARVO_X86_64
namespace tarvo::partly_reduced {

extern "C" {
void tarvo_probe_partly_reduced_sum(const Limbs* a, const Limbs* b, Limbs* out) { *out = sum(*a, *b); }
void tarvo_probe_partly_reduced_sum_and_difference(const Limbs* a, const Limbs* b, Limbs* s, Limbs* d) {
  std::tie(*s, *d) = sum_and_difference_plus_twice_p(*a, *b);
}
void tarvo_probe_partly_reduced_sum_mod_twice_p(const Limbs* a, const Limbs* b, Limbs* out) {
  *out = sum_mod_twice_p(*a, *b);
}
void tarvo_probe_partly_reduced_difference_mod_twice_p(const Limbs* a, const Limbs* b, Limbs* out) {
  *out = difference_mod_twice_p(*a, *b);
}
void tarvo_probe_partly_reduced_negated_if(const Limbs* a, uint64_t negative, Limbs* out) {
  *out = negated_if(*a, negative);
}
void tarvo_probe_partly_reduced_product(const Limbs* a, const Limbs* b, Limbs* out) {
  *out = product(*a, *b);
}
void tarvo_probe_partly_reduced_square(const Limbs* a, Limbs* out) { *out = square(*a); }
}

}  // namespace tarvo::partly_reduced

namespace tarvo::edwards::partly_reduced {

extern "C" {
void tarvo_probe_partly_reduced_doubled(const PartlyReducedPoint* p, PartlyReducedPoint* out) {
  *out = doubled(*p);
}
void tarvo_probe_partly_reduced_doubled_without_t(const PartlyReducedPoint* p, PartlyReducedPoint* out) {
  *out = doubled<false>(*p);
}
void tarvo_probe_partly_reduced_add_cached(const PartlyReducedPoint* p, const CachedPoint* q,
                                           PartlyReducedPoint* out) {
  *out = add(*p, *q);
}
void tarvo_probe_partly_reduced_add_affine(const PartlyReducedPoint* p, const AffineCachedPoint* q,
                                           PartlyReducedPoint* out) {
  *out = add(*p, *q);
}
}

}  // namespace tarvo::edwards::partly_reduced
#endif

namespace tarvo::modinv {

extern "C" {
int64_t tarvo_probe_divsteps_batch(int64_t zeta, uint64_t f, uint64_t g, Transition* t) {
  return divsteps<ROUND_STEPS>(zeta, f, g, *t);
}
int64_t tarvo_probe_divsteps_last_batch(int64_t zeta, uint64_t f, uint64_t g, Transition* t) {
  return divsteps<LAST_BATCH_STEPS - 2 * ROUND_STEPS>(zeta, f, g, *t);
}
int64_t tarvo_probe_divsteps_portable_batch(int64_t zeta, uint64_t f, uint64_t g, Transition* t) {
  return divsteps<ROUND_STEPS, true>(zeta, f, g, *t);
}
}

}  // namespace tarvo::modinv

#if TARVO_X86_64
namespace tarvo::poseidon::ifma {

extern "C" {
// One full round of the width-9 permutation on lanes in memory.
TARVO_TARGET_IFMA void tarvo_probe_poseidon_full_round_ifma(Lanes* lanes, Limbs* last,
                                                            const RoundConstants* constants,
                                                            const MixConstants* mix) {
  Vector x = load(*lanes);
  full_round(x, *last, *constants, *mix);
  store(x, *lanes);
}
// One block's column updates in the partial rounds.
TARVO_TARGET_IFMA void tarvo_probe_poseidon_column_updates_ifma(const PartialColumns* columns, const Fr* ys,
                                                                Lanes* lanes, Fr* s) {
  column_updates(*columns, std::span<const Fr, PARTIAL_BLOCK>(ys, PARTIAL_BLOCK), *lanes,
                 std::span<Fr, LANES>(s, LANES));
}
}

}  // namespace tarvo::poseidon::ifma
#endif
