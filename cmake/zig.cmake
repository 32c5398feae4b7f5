# The wheels' toolchain: Zig's C and C++ compilers (zig cc, zig c++) for one target, an old glibc or musl,
# whatever the build machine runs. Zig brings that C library's headers and link stubs and links its own
# libc++ and libunwind statically, so the result needs nothing of the build machine at run time.
#
# TARVO_ZIG (a CMake variable or the environment): the zig program, as PyPI's ziglang package ships it.
# TARVO_ZIG_TARGET: the target, such as x86_64-linux-gnu.2.17 (glibc 2.17 and newer), aarch64-linux-gnu.2.17
#   or x86_64-linux-musl.
foreach(variable TARVO_ZIG TARVO_ZIG_TARGET)
  if(NOT ${variable})
    set(${variable} "$ENV{${variable}}")
  endif()
endforeach()
if(NOT TARVO_ZIG OR NOT TARVO_ZIG_TARGET)
  message(FATAL_ERROR "set TARVO_ZIG to the zig program and TARVO_ZIG_TARGET to its target (see scripts/build-wheels)")
endif()
# Kept for CMake's own reruns, which do not see the environment of the first run.
set(TARVO_ZIG "${TARVO_ZIG}" CACHE FILEPATH "the zig program")
set(TARVO_ZIG_TARGET "${TARVO_ZIG_TARGET}" CACHE STRING "Zig's target")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARVO_ZIG TARVO_ZIG_TARGET)

# A target of this machine's processor is no cross build: CMake's checks run their programs here directly.
string(REGEX MATCH "^[^-]+" zig_processor "${TARVO_ZIG_TARGET}")
if(NOT zig_processor STREQUAL CMAKE_HOST_SYSTEM_PROCESSOR)
  set(CMAKE_SYSTEM_NAME Linux)
  set(CMAKE_SYSTEM_PROCESSOR ${zig_processor})
endif()

# CMake wants one program per tool: small scripts that call zig with the tool's name and the target, kept
# beside the zig program (one directory per target).
get_filename_component(zig_home "${TARVO_ZIG}" DIRECTORY)
set(zig_tools "${zig_home}/tarvo-tools/${TARVO_ZIG_TARGET}")
foreach(tool cc c++ ar ranlib)
  if(tool MATCHES "^c")
    set(arguments "-target ${TARVO_ZIG_TARGET}")
  else()
    set(arguments "")
  endif()
  set(script "#!/bin/sh\nexec \"${TARVO_ZIG}\" ${tool} ${arguments} \"$@\"\n")
  if(EXISTS "${zig_tools}/${tool}")
    file(READ "${zig_tools}/${tool}" existing)
  else()
    set(existing "")
  endif()
  if(NOT existing STREQUAL script)
    file(WRITE "${zig_tools}/${tool}.new" "${script}")
    file(CHMOD "${zig_tools}/${tool}.new" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                                      GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    file(RENAME "${zig_tools}/${tool}.new" "${zig_tools}/${tool}")
  endif()
endforeach()
set(CMAKE_C_COMPILER "${zig_tools}/cc")
set(CMAKE_CXX_COMPILER "${zig_tools}/c++")
# Zig keeps the frame pointer at every optimisation level; the field kernels want that register.
set(CMAKE_C_FLAGS_INIT "-fomit-frame-pointer")
set(CMAKE_CXX_FLAGS_INIT "-fomit-frame-pointer")
set(CMAKE_AR "${zig_tools}/ar" CACHE FILEPATH "")
set(CMAKE_RANLIB "${zig_tools}/ranlib" CACHE FILEPATH "")

# valgrind's client requests, for the constant-time check's build (TARVO_CT_CHECK), where present: through
# a directory that holds only them, as /usr/include itself would shadow the target C library's headers
# that Zig brings.
if(EXISTS /usr/include/valgrind/memcheck.h)
  set(zig_headers "${zig_tools}/include")
  file(MAKE_DIRECTORY "${zig_headers}")
  file(CREATE_LINK /usr/include/valgrind "${zig_headers}/valgrind" SYMBOLIC)
  set(VALGRIND_INCLUDE_DIR "${zig_headers}" CACHE PATH "")
endif()
