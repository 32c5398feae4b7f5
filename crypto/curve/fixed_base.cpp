#include "crypto/curve/fixed_base.h"

#include <openssl/crypto.h>

#include "crypto/curve/edwards.h"
#include "crypto/curve/select.h"

namespace tarvo::edwards {

FixedBaseTable::FixedBaseTable(const Point<PrimeOrder>& base, const JubjubParams& params) : tables_(64) {
  Point<PrimeOrder> power = base;  // 16^j·base
  for (auto& table : tables_) {
    table[1] = power;
    for (size_t i = 2; i < table.size(); ++i) {
      table[i] = i % 2 == 0 ? doubled(table[i / 2]) : add(table[i - 1], power, params);
    }
    power = doubled(table[8]);
  }
}

Point<PrimeOrder> FixedBaseTable::mul(const Fs& k, const JubjubParams& params) const {
  Limbs bits = k.into_repr();
  Point<PrimeOrder> acc;
  for (size_t j = 0; j < tables_.size(); ++j) {
    const uint64_t digit = (bits[j / 16] >> (4 * (j % 16))) & 15;
    acc = add(acc, select(tables_[j], digit), params);
  }
  OPENSSL_cleanse(bits.data(), sizeof bits);
  return acc;
}

}  // namespace tarvo::edwards
