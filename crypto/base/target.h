// The target's instruction set, for the code that has a hand-written x86-64 variant beside the portable
// C++: that variant is compiled only for x86-64 and chosen there (at run time where the CPU may lack it).
#pragma once

#if defined(__x86_64__)
#define TARVO_X86_64 1
#else
#define TARVO_X86_64 0
#endif
