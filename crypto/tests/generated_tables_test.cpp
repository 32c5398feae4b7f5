// The committed table sources are what the library's derivation writes today: the group hash, the
// fixed-base table of generator 5 and the Poseidon constants, all derived afresh.
#include "crypto/tools/generated_tables.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tarvo {
namespace {

TEST(GeneratedTables, CommittedSourcesEqualAFreshDerivation) {
  for (const tools::GeneratedSource& source : tools::generated_sources()) {
    std::ifstream file(std::string(TARVO_SOURCE_DIR) + "/" + source.path, std::ios::binary);
    ASSERT_TRUE(file) << source.path;
    std::ostringstream committed;
    committed << file.rdbuf();
    // Not EXPECT_EQ: the texts run to hundreds of kilobytes.
    EXPECT_TRUE(committed.str() == source.text)
        << source.path
        << " differs from a fresh derivation (cmake --build <build> --target regenerate_tables)";
  }
}

}  // namespace
}  // namespace tarvo
