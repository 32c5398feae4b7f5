# The wheels' toolchain: Zig's C and C++ compilers (zig cc, zig c++) for one target, an old glibc or musl,
# whatever the build machine runs. Zig brings that C library's headers and link stubs and links its own
# libc++ and libunwind statically, so the result needs nothing of the build machine at run time.
#
# TARVO_ZIG (a CMake variable or the environment): the zig program, as PyPI's ziglang package ships it.
# TARVO_ZIG_TARGET: the target, such as x86_64-linux-gnu.2.17 (glibc 2.17 and newer), aarch64-linux-gnu.2.17,
#   x86_64-linux-musl or x86_64-windows-gnu.
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

# A Linux target of this machine's processor is no cross build: CMake's checks run their programs here
# directly. Windows programs (x86_64-windows-gnu: MinGW-w64's headers and import libraries, the Universal
# C Runtime) run under Wine: TARVO_WINE is a program that runs the Windows program it is given, CMake's
# emulator for the tests.
string(REGEX MATCH "^[^-]+" zig_processor "${TARVO_ZIG_TARGET}")
if(TARVO_ZIG_TARGET MATCHES "-windows")
  set(CMAKE_SYSTEM_NAME Windows)
  set(CMAKE_SYSTEM_PROCESSOR ${zig_processor})
  if(NOT TARVO_WINE)
    set(TARVO_WINE "$ENV{TARVO_WINE}")
  endif()
  if(TARVO_WINE)
    set(TARVO_WINE "${TARVO_WINE}" CACHE FILEPATH "runs a Windows program under Wine")
    list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARVO_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${TARVO_WINE}")
  endif()
  # TARVO_WINDOWS_PYTHON: the folder of the Windows CPython an extension is built for (include/ and
  # libs/python3XY.lib), in place of the interpreter that runs the build.
  if(NOT TARVO_WINDOWS_PYTHON)
    set(TARVO_WINDOWS_PYTHON "$ENV{TARVO_WINDOWS_PYTHON}")
  endif()
  if(TARVO_WINDOWS_PYTHON)
    file(GLOB python_import_library "${TARVO_WINDOWS_PYTHON}/libs/python3[0-9]*.lib")
    set(Python_INCLUDE_DIR "${TARVO_WINDOWS_PYTHON}/include" CACHE PATH "" FORCE)
    set(Python_LIBRARY "${python_import_library}" CACHE FILEPATH "" FORCE)
  endif()
elseif(TARVO_ZIG_TARGET MATCHES "-macos")
  # macOS (aarch64-macos.11.0, x86_64-macos.11.0: the deployment target after the dot): Zig brings the
  # system's headers and libSystem's link stubs. Its linker crashes on -bundle, CMake's way to link a
  # module; a dynamic library loads as an extension all the same (zig_macos_rules.cmake).
  set(CMAKE_SYSTEM_NAME Darwin)
  set(CMAKE_SYSTEM_PROCESSOR ${zig_processor})
  set(CMAKE_USER_MAKE_RULES_OVERRIDE "${CMAKE_CURRENT_LIST_DIR}/zig_macos_rules.cmake")
elseif(NOT zig_processor STREQUAL CMAKE_HOST_SYSTEM_PROCESSOR)
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
