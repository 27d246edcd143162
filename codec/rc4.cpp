#include "codec/rc4.h"

#include <cstddef>
#include <cstdint>

namespace lumerin {
namespace {

// The permutation and the two indices live in locals of plain byte and
// unsigned types: this loop is the hot path of sealing, and keeping it free of
// bounds-checked containers lets the compiler hold i and j in registers.
constexpr unsigned kStateSize = 256;
constexpr unsigned kIndexMask = kStateSize - 1;

// Fills `state` with the permutation RC4's key schedule derives from `key`;
// the identity permutation for the empty key.
void ScheduleKey(std::string_view key, std::uint8_t (&state)[kStateSize]) {
  for (unsigned k = 0; k < kStateSize; ++k) state[k] = static_cast<std::uint8_t>(k);
  if (key.empty()) return;
  const std::size_t keyLength = key.size();
  unsigned j = 0;
  std::size_t keyIndex = 0;
  for (unsigned k = 0; k < kStateSize; ++k) {
    const std::uint8_t sk = state[k];
    j = (j + sk + static_cast<unsigned char>(key[keyIndex])) & kIndexMask;
    state[k] = state[j];
    state[j] = sk;
    if (++keyIndex == keyLength) keyIndex = 0;
  }
}

}  // namespace

ByteArray Rc4Transform(ByteView data, std::string_view key) {
  ByteArray result(data.begin(), data.end());
  if (result.empty()) return result;

  std::uint8_t state[kStateSize];
  ScheduleKey(key, state);

  std::uint8_t* bytes = result.data();
  const std::size_t count = result.size();
  unsigned i = 0;
  unsigned j = 0;
  for (std::size_t n = 0; n < count; ++n) {
    i = (i + 1) & kIndexMask;
    const std::uint8_t si = state[i];
    j = (j + si) & kIndexMask;
    const std::uint8_t sj = state[j];
    state[i] = sj;
    state[j] = si;
    bytes[n] ^= state[(si + sj) & kIndexMask];
  }
  return result;
}

}  // namespace lumerin
