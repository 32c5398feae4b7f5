// The C++ runtime linked into the extension brings libgcc's unwinder, which on a C library of version 2.35
// or later finds the exception tables of a code address with _dl_find_object. The extension is meant to
// load on older C libraries as well, so it carries the same lookup built on dl_iterate_phdr (present in
// every version); the linker binds the unwinder to this definition, which stays local to the extension.
#include <dlfcn.h>
#include <link.h>

#include <cstdint>

#ifdef DLFO_STRUCT_HAS_EH_DBASE

namespace {

struct Lookup {
  uintptr_t address;
  dl_find_object* result;
  bool found;
};

// Fills the lookup's result and stops the iteration when the object holds the address in one of its
// loaded segments.
int visit_object(dl_phdr_info* info, size_t, void* data) {
  Lookup& lookup = *static_cast<Lookup*>(data);
  uintptr_t start = UINTPTR_MAX, end = 0;
  bool holds_address = false;
  void* eh_frame = nullptr;
  for (size_t i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    const uintptr_t segment_start = info->dlpi_addr + segment.p_vaddr;
    if (segment.p_type == PT_LOAD) {
      const uintptr_t segment_end = segment_start + segment.p_memsz;
      if (segment_start < start) start = segment_start;
      if (segment_end > end) end = segment_end;
      if (lookup.address >= segment_start && lookup.address < segment_end) holds_address = true;
    } else if (segment.p_type == PT_GNU_EH_FRAME) {
      eh_frame = reinterpret_cast<void*>(segment_start);
    }
  }
  if (!holds_address) return 0;
  *lookup.result = dl_find_object{};
  lookup.result->dlfo_map_start = reinterpret_cast<void*>(start);
  lookup.result->dlfo_map_end = reinterpret_cast<void*>(end);
  lookup.result->dlfo_eh_frame = eh_frame;
  lookup.found = true;
  return 1;
}

}  // namespace

extern "C" int _dl_find_object(void* address, dl_find_object* result) noexcept {
  Lookup lookup{reinterpret_cast<uintptr_t>(address), result, false};
  dl_iterate_phdr(visit_object, &lookup);
  return lookup.found ? 0 : -1;
}

#endif
