// The target's instruction set, for the code that has a hand-written x86-64 or aarch64 variant beside the
// portable C++: that variant is compiled only for its target and chosen there (at run time where the CPU
// may lack it).
#pragma once

#if defined(__x86_64__)
#define TARVO_X86_64 1
#else
#define TARVO_X86_64 0
#endif

#if defined(__aarch64__)
#define TARVO_AARCH64 1
#else
#define TARVO_AARCH64 0
#endif
