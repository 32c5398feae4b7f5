// The benchmark inputs written by bench/workload.py: for each module function, a pool of argument
// lists. The C++ programs time and count the same inputs the module timings use.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/eddsa/eddsa.h"

namespace tarvo::bench {

using Arguments = std::vector<std::string>;

// Invariant: every pool holds the same number of argument lists, at least one.
class Workload {
 public:
  // Reads the file; exits the process with a message when it is missing or malformed, since no
  // benchmark can run without it.
  static Workload load(const std::string& path);

  // The pool of one module function, for example "sign_transfer". Exits for an unknown name.
  const std::vector<Arguments>& pool(std::string_view function) const;
  size_t pool_size() const { return pool_size_; }

 private:
  std::map<std::string, std::vector<Arguments>, std::less<>> pools_;
  size_t pool_size_ = 0;
};

// The argument parsing every signing function starts with; exits on a malformed input.
eddsa::PrivateKey parse_private_key(std::string_view text);
// The 32 bytes the signer reads for a 256-bit message text (least significant byte first).
std::array<uint8_t, 32> parse_message(std::string_view text);

// The value of --workload=PATH among the arguments; exits when it is absent.
std::string workload_path(int argc, char** argv);

}  // namespace tarvo::bench
