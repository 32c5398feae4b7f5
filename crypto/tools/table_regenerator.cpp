// Writes the generated table sources into the source tree given as the argument (the project's root):
//   table_regenerator <root>
// The target regenerate_tables runs it on this checkout; the library compiles the committed files.
#include <cstdio>
#include <fstream>

#include "crypto/tools/generated_tables.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <project root>\n", argv[0]);
    return 2;
  }
  for (const tarvo::tools::GeneratedSource& source : tarvo::tools::generated_sources()) {
    const std::string path = std::string(argv[1]) + "/" + source.path;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << source.text;
    file.close();
    if (!file) {
      std::fprintf(stderr, "could not write %s\n", path.c_str());
      return 1;
    }
    std::printf("wrote %s\n", source.path.c_str());
  }
  return 0;
}
