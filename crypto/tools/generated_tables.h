// The sources of the precomputed tables the library compiles in (crypto/curve/embedded_tables.cpp,
// crypto/poseidon/embedded_spec.cpp), written by the library's own derivation: the regenerator writes
// them into the tree, and the tests compare them with the committed ones.
#pragma once

#include <string>
#include <vector>

namespace tarvo::tools {

struct GeneratedSource {
  std::string path;  // relative to the project's root
  std::string text;
};

// The curve tables (the generators of AltJubjubBn256, found by the group hash, and the fixed-base table of
// generator 5) and the width-9 Poseidon tables.
std::vector<GeneratedSource> generated_sources();

}  // namespace tarvo::tools
