// The one hook of the benchmarks' counting build (-DTARVO_COUNT_FIELD_OPS, bench/op_counts.cpp): the entry
// of each field multiplication and squaring kernel tallies, per thread, the operations it performs, so that
// the benchmarks can state how many an operation needs. In every other build the hook is empty.
#pragma once

#include <cstdint>

#ifdef TARVO_COUNT_FIELD_OPS
namespace tarvo::field_op_counts {
inline thread_local uint64_t multiplications = 0;
inline thread_local uint64_t squarings = 0;
}  // namespace tarvo::field_op_counts
#define TARVO_COUNT(counter, n) (::tarvo::field_op_counts::counter += (n))
#else
#define TARVO_COUNT(counter, n) ((void)0)
#endif
