# Fails when a source file includes a header of a layer above its own, or beside it: crypto sees crypto
# only, sdk sees sdk and crypto, the Python module and the C library each see themselves, sdk and crypto.
# Every target gets the project root as include folder, so the compiler would take such an include: this
# check is what keeps the dependencies pointing down. Run by CTest: cmake -DROOT=<checkout> -P this file.
cmake_minimum_required(VERSION 3.25)
set(layers crypto sdk python-module c-library)
set(sees_crypto crypto)
set(sees_sdk crypto sdk)
set(sees_python-module crypto sdk python-module)
set(sees_c-library crypto sdk c-library)
# The project's other folders whose headers no layer may include.
set(project_folders ${layers} bench fuzz examples)

set(violations "")
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE files RELATIVE ${ROOT} ${ROOT}/${layer}/*.h ${ROOT}/${layer}/*.c ${ROOT}/${layer}/*.cpp)
  foreach(file IN LISTS files)
    file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" included "${line}")
      string(REGEX REPLACE "/.*$" "" folder "${included}")
      if(included MATCHES "(^|/)\\.\\./" OR (folder IN_LIST project_folders AND NOT folder IN_LIST sees_${layer}))
        list(APPEND violations "${file}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Includes that point up or sideways (crypto <- sdk <- python-module, c-library):\n  ${text}")
endif()
message(STATUS "Every include of crypto, sdk, python-module and c-library points to its own or a lower layer")
