// The one hook of the benchmarks' counting build (-DTARVO_COUNT_FIELD_OPS, bench/op_counts.cpp): each
// formula tallies, per thread, the field multiplications and squarings it performs, so that the benchmarks
// can state how many an operation needs. The operations of the field elements count themselves (field.h);
// formulas that work on other forms of the values (partly reduced, in vector lanes) count as their twins on
// field elements would, outside their kernels. In every other build the hook is empty.
#pragma once

#include <cstdint>

#ifdef TARVO_COUNT_FIELD_OPS
namespace tarvo::field_op_counts {
inline thread_local uint64_t multiplications = 0;
inline thread_local uint64_t squarings = 0;
}  // namespace tarvo::field_op_counts
#define TARVO_COUNT(multiplications_, squarings_)                   \
  (::tarvo::field_op_counts::multiplications += (multiplications_), \
   ::tarvo::field_op_counts::squarings += (squarings_))
#else
#define TARVO_COUNT(multiplications_, squarings_) ((void)(multiplications_), (void)(squarings_))
#endif
