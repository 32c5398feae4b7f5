// The vector kernels of the fixed-base multiplication out of line, for the branch check
// (check_branch_free.sh --only tarvo_probe_): the portable scan of one window, and for the AVX2 and the
// AVX-512 scan with the MULX/ADCX/ADOX additions, the scan of one window, one addition with the next
// window's scan between its products, and the last addition. sum_of_windows is these with a loop over the
// public window index. The IFMA kernel's probes (the names ending in _ifma) are the same for its two
// accumulators, their first additions, one further addition of each with the next windows' scans between
// its products, and their sums as points, and the check follows their addresses too
// (check_branch_free.sh --addresses). So are the variable-base multiplications' doubling, addition (with
// the addend's sign, secret in the constant-time multiplication) and addend preparation of a point in four
// lanes (point_lanes_ifma_x86_64.h), as the library compiles them out of line. valgrind runs
// the AVX2 kernels too (ct_signing_check adx) but cannot execute AVX-512, so for that this check is the only
// one. The kernels come from their header, compiled here with the library's flags; the check looks only at
// the probes, which must call nothing.
#include "crypto/base/kernel.h"
#include "crypto/base/target.h"
#include "crypto/curve/fixed_base_ifma_x86_64.h"
#include "crypto/curve/partly_reduced_x86_64.h"
#include "crypto/curve/point_lanes_ifma_x86_64.h"
#include "crypto/curve/window_scan.h"
#include "crypto/curve/window_scan_avx512_x86_64.h"

#if TARVO_X86_64

namespace tarvo::edwards::fixed_base {
namespace {

template <typename Scan>
TARVO_KERNEL void scan_window(const Window& window, int digit, AffineCachedPoint& entry) {
  Scan scan(window, digit);
  scan.all_steps();
  entry = scan.entry();
}

template <typename Scan>
TARVO_KERNEL void add_window(const Window& window, int digit, partly_reduced::PartlyReducedPoint& acc,
                             Scan& scan) {
  Scan next(window, digit);
  acc = add_signed(acc, scan.entry(), scan.negative(), next);
  scan = next;
}

template <typename Scan>
TARVO_KERNEL Point<PrimeOrder> finish(const partly_reduced::PartlyReducedPoint& acc, Scan& scan) {
  NothingBetween nothing;
  return to_point(add_signed(acc, scan.entry(), scan.negative(), nothing));
}

}  // namespace

extern "C" {
void tarvo_probe_scan_portable(const Window* window, int digit, AffineCachedPoint* entry) {
  scan_window<WindowScanPortable>(*window, digit, *entry);
}

TARVO_TARGET_AVX2 __attribute__((flatten)) void tarvo_probe_scan_avx2(const Window* window, int digit,
                                                                      AffineCachedPoint* entry) {
  scan_window<WindowScanAvx2>(*window, digit, *entry);
}
TARVO_TARGET_AVX2 __attribute__((flatten)) void tarvo_probe_add_window_avx2_adx(
    const Window* window, int digit, partly_reduced::PartlyReducedPoint* acc, WindowScanAvx2* scan) {
  add_window(*window, digit, *acc, *scan);
}
TARVO_TARGET_AVX2 __attribute__((flatten)) void tarvo_probe_finish_avx2_adx(
    const partly_reduced::PartlyReducedPoint* acc, WindowScanAvx2* scan, Point<PrimeOrder>* out) {
  *out = finish(*acc, *scan);
}

TARVO_TARGET_AVX512 __attribute__((flatten)) void tarvo_probe_scan_avx512(const Window* window, int digit,
                                                                          AffineCachedPoint* entry) {
  scan_window<WindowScanAvx512>(*window, digit, *entry);
}
TARVO_TARGET_AVX512 __attribute__((flatten)) void tarvo_probe_add_window_avx512_adx(
    const Window* window, int digit, partly_reduced::PartlyReducedPoint* acc, WindowScanAvx512* scan) {
  add_window(*window, digit, *acc, *scan);
}
TARVO_TARGET_AVX512 __attribute__((flatten)) void tarvo_probe_finish_avx512_adx(
    const partly_reduced::PartlyReducedPoint* acc, WindowScanAvx512* scan, Point<PrimeOrder>* out) {
  *out = finish(*acc, *scan);
}

TARVO_TARGET_IFMA __attribute__((flatten)) void tarvo_probe_add_windows_to_neutral_avx512_ifma(
    const Window* first, int first_digit, const Window* second, int second_digit, ifma::Scans* scans,
    ifma::Lanes* sums) {
  ifma::Scans next(*first, first_digit, *second, second_digit);
  store(ifma::add_entries_to_neutral(*scans, next), *sums);
  *scans = next;
}
TARVO_TARGET_IFMA __attribute__((flatten)) void tarvo_probe_add_windows_avx512_ifma(
    const Window* first, int first_digit, const Window* second, int second_digit, ifma::Scans* scans,
    ifma::Lanes* sums) {
  ifma::Scans next(*first, first_digit, *second, second_digit);
  store(ifma::add_entries(ifma::first_factors(load(*sums)), *scans, next), *sums);
  *scans = next;
}
TARVO_TARGET_IFMA __attribute__((flatten)) void tarvo_probe_double_point_lanes_ifma(point_lanes::Lanes4* p) {
  store(point_lanes::doubled(point_lanes::load(*p)), *p);
}
TARVO_TARGET_IFMA __attribute__((flatten)) void tarvo_probe_add_point_lanes_ifma(
    point_lanes::Lanes4* p, const point_lanes::Lanes4* addend, __mmask8 negative) {
  store(point_lanes::sum(point_lanes::load(*p), point_lanes::load(*addend), negative), *p);
}
TARVO_TARGET_IFMA __attribute__((flatten)) void tarvo_probe_addend_point_lanes_ifma(
    const point_lanes::Lanes4* p, const point_lanes::Lanes4* factors, point_lanes::Lanes4* addend) {
  store(point_lanes::addend_of(point_lanes::load(*p), point_lanes::load(*factors)), *addend);
}
TARVO_TARGET_IFMA __attribute__((flatten)) void tarvo_probe_accumulators_avx512_ifma(const ifma::Lanes* sums,
                                                                                     Point<PrimeOrder>* out) {
  const auto [first, second] = ifma::accumulators(load(*sums));
  out[0] = first;
  out[1] = second;
}
}

}  // namespace tarvo::edwards::fixed_base

#endif
