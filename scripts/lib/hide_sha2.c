/* Preloaded into the emulated test programs (scripts/cross-aarch64) to stand for an aarch64 CPU without the
   SHA-2 instructions, which every CPU model of qemu has: the auxiliary vector's AT_HWCAP word without
   HWCAP_SHA2, every other entry as the C library gives it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <sys/auxv.h>

unsigned long getauxval(unsigned long type) {
  unsigned long (*real)(unsigned long) = (unsigned long (*)(unsigned long))dlsym(RTLD_NEXT, "getauxval");
  const unsigned long value = real(type);
  return type == AT_HWCAP ? value & ~(1ul << 6) : value;
}
