# Read after CMake's Darwin platform rules when Zig builds for macOS (cmake/zig.cmake): a module is linked
# as a dynamic library (-shared), since Zig's linker crashes on -bundle.
foreach(lang C CXX)
  set(CMAKE_SHARED_MODULE_CREATE_${lang}_FLAGS "-shared")
endforeach()
