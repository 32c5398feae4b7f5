// The marking of the arithmetic kernels of the field and curve code.
#pragma once

// The kernels are small and called millions of times per second: always inline them. The assembly
// kernels need the register allocation of an optimising compile; an unoptimised (debug) build runs the
// portable kernel in their place.
#define TARVO_KERNEL inline __attribute__((always_inline))
