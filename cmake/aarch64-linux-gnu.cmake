# Cross compilation for 64-bit ARM Linux with Debian's cross toolchain (g++-aarch64-linux-gnu). The
# programs the build runs for itself (test discovery) and the tests run under qemu user-mode emulation
# (qemu-aarch64-static).
#
# TARVO_AARCH64_SYSROOT (a CMake variable or the environment): a directory holding the arm64 development
# files (usr/include, usr/lib/aarch64-linux-gnu, usr/local for GoogleTest), as scripts/cross-aarch64
# prepares it. The C library and the compiler's own libraries come with the cross toolchain.
if(NOT TARVO_AARCH64_SYSROOT)
  set(TARVO_AARCH64_SYSROOT "$ENV{TARVO_AARCH64_SYSROOT}")
endif()
if(NOT TARVO_AARCH64_SYSROOT)
  message(FATAL_ERROR "set TARVO_AARCH64_SYSROOT to the arm64 development files (see scripts/cross-aarch64)")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARVO_AARCH64_SYSROOT)

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(CMAKE_FIND_ROOT_PATH "${TARVO_AARCH64_SYSROOT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The packages' headers are system headers, as on a native build (their warnings are not ours).
set(TARVO_AARCH64_INCLUDE_FLAGS "-isystem ${TARVO_AARCH64_SYSROOT}/usr/include")
set(CMAKE_C_FLAGS_INIT "${TARVO_AARCH64_INCLUDE_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${TARVO_AARCH64_INCLUDE_FLAGS}")

# The loader and the C library from the cross toolchain, the packages' shared libraries from the sysroot.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static -L /usr/aarch64-linux-gnu -E
                                  LD_LIBRARY_PATH=${TARVO_AARCH64_SYSROOT}/usr/lib/aarch64-linux-gnu)
