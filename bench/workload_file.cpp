#include "bench/workload_file.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

#include "sdk/src/json/reader.h"
#include "sdk/src/tx/convert.h"
#include "sdk/src/tx/sign.h"
#include "sdk/src/u256.h"

namespace tarvo::bench {

namespace {

[[noreturn]] void die(const std::string& text) {
  std::fprintf(stderr, "benchmark workload: %s\n", text.c_str());
  std::exit(2);
}

using Pools = std::map<std::string, std::vector<Arguments>, std::less<>>;

// Reads the pools of {"calls": {function: [[argument, ...], ...]}, ...} with the request reader's pull
// reader. Members beside "calls" must be scalars and are skipped. Exits at the first problem.
class PoolsReader {
 public:
  PoolsReader(std::string_view text, std::string path) : reader_(text), path_(std::move(path)) {}

  void read(Pools& pools) {
    open('{', "the workload must be an object");
    bool calls_found = false;
    for (bool first = true; take(reader_.has_next_key(first));) {
      const std::string key = take(reader_.read_key());
      take(reader_.parse_object_colon());
      if (key == "calls") {
        read_calls(pools);
        calls_found = true;
      } else if (const json::Value value = take(reader_.read_any());
                 value.kind == json::Value::Kind::kSeq || value.kind == json::Value::Kind::kMap) {
        die(path_ + ": only \"calls\" may hold containers");
      }
    }
    reader_.end_map();
    take(reader_.end());
    if (!calls_found) die(path_ + ": no \"calls\" object");
  }

 private:
  void read_calls(Pools& pools) {
    open('{', "\"calls\" must be an object");
    for (bool first_pool = true; take(reader_.has_next_key(first_pool));) {
      std::vector<Arguments>& pool = pools[take(reader_.read_key())];
      take(reader_.parse_object_colon());
      open('[', "the pool of a function must be an array");
      for (bool first_call = true; take(reader_.has_next_element(first_call));) {
        open('[', "an argument list must be an array");
        Arguments& arguments = pool.emplace_back();
        for (bool first_argument = true; take(reader_.has_next_element(first_argument));) {
          arguments.push_back(take(reader_.read_string("an argument string")));
        }
        take(reader_.end_seq());
      }
      take(reader_.end_seq());
    }
    reader_.end_map();
  }

  void open(char bracket, const char* expected) {
    if (reader_.parse_whitespace() != static_cast<uint8_t>(bracket)) die(path_ + ": " + expected);
    reader_.eat();
  }

  template <typename T>
  T take(Result<T> result) {
    if (!result.ok()) die(path_ + ": " + reader_.located(result.error()).message());
    return std::move(result).value();
  }

  json::Reader reader_;
  std::string path_;
};

}  // namespace

Workload Workload::load(const std::string& path) {
  std::ifstream file(path);
  if (!file) die("cannot read " + path);
  std::stringstream text;
  text << file.rdbuf();
  const std::string json = text.str();
  Workload workload;
  PoolsReader(json, path).read(workload.pools_);
  for (const auto& [function, pool] : workload.pools_) {
    if (pool.empty() || (workload.pool_size_ != 0 && pool.size() != workload.pool_size_)) {
      die(path + ": every pool must hold the same, nonzero number of calls");
    }
    workload.pool_size_ = pool.size();
  }
  if (workload.pools_.empty()) die(path + ": no pools");
  return workload;
}

const std::vector<Arguments>& Workload::pool(std::string_view function) const {
  const auto found = pools_.find(function);
  if (found == pools_.end()) die("no pool for " + std::string(function));
  return found->second;
}

eddsa::PrivateKey parse_private_key(std::string_view text) {
  Result<eddsa::PrivateKey> key = private_key_from_string(text);
  if (!key) die("bad private key: " + key.error().message());
  return std::move(key).value();
}

std::array<uint8_t, 32> parse_message(std::string_view text) {
  const Result<U256> value = U256::from_hex(text);
  if (!value) die("bad message: " + value.error().message());
  return message_bytes(*value);
}

std::string workload_path(int argc, char** argv) {
  constexpr std::string_view kFlag = "--workload=";
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument.starts_with(kFlag)) return std::string(argument.substr(kFlag.size()));
  }
  die("missing --workload=PATH (written by bench/workload.py)");
}

}  // namespace tarvo::bench
