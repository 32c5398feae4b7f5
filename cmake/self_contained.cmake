# tarvo_self_contained_link(TARGET EXPORTS): links the shared object TARGET so that a process may load it
# beside anything else. EXPORTS is its linker version script: the symbols it lists are all the process
# sees, so nothing of ours or of the C++ runtime linked in can bind to, or be bound by, another copy in the
# same process, such as the C++ runtime another extension loads. Unused sections go, so that the parts of
# the static libraries never called cannot ask for newer C library functions. With TARVO_STATIC_RUNTIME the C++ runtime is linked in too: the wheels' toolchain
# (cmake/zig.cmake) does so by itself with libc++ and libunwind; other compilers get -static-libstdc++ and
# -static-libgcc, whose unwinder then asks the C library it is built on (not older ones) for its objects.
#
# A Windows DLL exports only what its code marks __declspec(dllexport) (PyMODINIT_FUNC, TARVO_API): the
# linker takes no version script there, and the DLL binds its imports to named DLLs, so no copy of a
# library can meet another. It is linked without a PDB: the PDB's identity, which the DLL would record
# with a time derived from it, depends on the folders of the build.
#
# Apple's linkers take neither a version script nor --exclude-libs: there every library is compiled with
# hidden visibility, so that only what the code marks visible (PyMODINIT_FUNC, TARVO_API) can be exported,
# and the linker is given the version script's global names as its exported-symbols list as well. The C++
# runtime is the system's libc++, which every macOS has.
if(APPLE)
  set(CMAKE_C_VISIBILITY_PRESET hidden)
  set(CMAKE_CXX_VISIBILITY_PRESET hidden)
  set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)
endif()

# The global names of version script $exports as an exported-symbols list (C names take a leading
# underscore there), written to file $list.
function(tarvo_exported_symbols_list exports list)
  file(READ ${exports} script)
  string(REGEX REPLACE ".*global:(.*)local:.*" "\\1" globals "${script}")
  string(REGEX MATCHALL "[A-Za-z_*][A-Za-z0-9_*]*" names "${globals}")
  list(TRANSFORM names PREPEND _)
  list(JOIN names "\n" content)
  file(WRITE ${list} "${content}\n")
endfunction()

function(tarvo_self_contained_link target exports)
  if(APPLE)
    set(list ${CMAKE_CURRENT_BINARY_DIR}/${target}.exported_symbols)
    tarvo_exported_symbols_list(${exports} ${list})
    target_link_options(${target} PRIVATE -Wl,-dead_strip -Wl,-exported_symbols_list,${list})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${exports})
    return()
  endif()
  target_link_options(${target} PRIVATE -Wl,--gc-sections)
  if(WIN32)
    target_link_options(${target} PRIVATE -Wl,--strip-all)
  else()
    target_link_options(${target} PRIVATE -Wl,--version-script=${exports})
  endif()
  # The archives' symbols hidden as well, where the linker can (Zig's does not take the option; the
  # version script alone already makes every symbol it does not list local).
  if(NOT TARVO_ZIG_TARGET)
    target_link_options(${target} PRIVATE -Wl,--exclude-libs,ALL)
  endif()
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${exports})
  set_target_properties(${target} PROPERTIES C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden
                                             VISIBILITY_INLINES_HIDDEN ON)
  if(TARVO_STATIC_RUNTIME AND NOT TARVO_ZIG_TARGET)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
  endif()
  # Zig's musl link names the C library libc.so, which musl systems (Alpine) have only with their
  # development package; at run time it is libc.musl-<machine>.so.1, the name their programs need.
  # Stripped first: patchelf carries a copy of the section headers it found into the segment it adds,
  # where the later strip cannot reach, and those of the debug sections (Zig's C++ runtime has some) have
  # sizes that depend on the folders the build ran in.
  if(TARVO_ZIG_TARGET MATCHES "-musl")
    find_program(TARVO_PATCHELF patchelf REQUIRED)
    add_custom_command(TARGET ${target} POST_BUILD
                       COMMAND ${CMAKE_STRIP} $<TARGET_FILE:${target}>
                       COMMAND ${TARVO_PATCHELF} --replace-needed libc.so libc.musl-${CMAKE_SYSTEM_PROCESSOR}.so.1
                               $<TARGET_FILE:${target}>)
  endif()
endfunction()
