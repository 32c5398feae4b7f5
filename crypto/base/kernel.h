// The marking of the arithmetic kernels of the field and curve code.
#pragma once

// The kernels are small and called millions of times per second: always inline them. The assembly
// kernels need the register allocation of an optimising compile; an unoptimised (debug) build runs the
// portable kernel in their place.
#ifdef TARVO_KERNELS_OUT_OF_LINE
// The coverage build (scripts/coverage) measures which branches of the source the tests take, not the
// shipped inlining: one out-of-line copy of each kernel counts once, where its inlined copies behind the
// CPU's kernel choice would count as never run although the tests run the same lines directly.
#define TARVO_KERNEL inline __attribute__((noinline))
#else
#define TARVO_KERNEL inline __attribute__((always_inline))
#endif

// The vector kernels, each compiled for its instruction set (a TARVO_TARGET_ attribute, target.h): always
// inlined, in every build, into callers compiled for the same instructions.
#define TARVO_VECTOR_KERNEL inline __attribute__((always_inline))
