#include "codec/rc4.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lumerin {
namespace {

// The permutation lives in a local array and the indices in plain unsigned
// locals, so that the compiler holds i and j in registers. Its entries are
// 32-bit although they hold bytes: a byte store followed by a load of a
// neighbouring byte of the same word stalls the load, which made byte entries
// about a third slower in this loop.
constexpr unsigned kStateSize = 256;
constexpr unsigned kIndexMask = kStateSize - 1;
using State = std::uint32_t[kStateSize];

// Fills `state` with the permutation RC4's key schedule derives from `key`;
// the identity permutation for the empty key.
void ScheduleKey(std::string_view key, State& state) {
  for (unsigned k = 0; k < kStateSize; ++k) state[k] = k;
  if (key.empty()) return;
  const std::size_t keyLength = key.size();
  unsigned j = 0;
  std::size_t keyIndex = 0;
  for (unsigned k = 0; k < kStateSize; ++k) {
    const std::uint32_t sk = state[k];
    j = (j + sk + static_cast<unsigned char>(key[keyIndex])) & kIndexMask;
    state[k] = state[j];
    state[j] = sk;
    if (++keyIndex == keyLength) keyIndex = 0;
  }
}

// One step of the generator: advances i and j, swaps S[i] and S[j], and gives
// the next key-stream byte.
inline std::uint32_t NextKeyByte(State& state, unsigned& i, unsigned& j) {
  i = (i + 1) & kIndexMask;
  const std::uint32_t si = state[i];
  j = (j + si) & kIndexMask;
  const std::uint32_t sj = state[j];
  state[i] = sj;
  state[j] = si;
  return state[(si + sj) & kIndexMask];
}

// Where key-stream byte `b` of a block goes in a 64-bit word, so that the
// word's bytes in memory follow the stream on either byte order.
constexpr unsigned BlockShift(unsigned b) {
  return 8 * (std::endian::native == std::endian::little ? b : 7 - b);
}

}  // namespace

ByteArray Rc4Transform(ByteView data, std::string_view key) {
  ByteArray result(data.begin(), data.end());
  if (result.empty()) return result;

  State state;
  ScheduleKey(key, state);

  std::uint8_t* bytes = result.data();
  const std::size_t count = result.size();
  unsigned i = 0;
  unsigned j = 0;
  std::size_t n = 0;
  // Eight key-stream bytes are XORed into the data as one word.
  constexpr std::size_t kBlock = sizeof(std::uint64_t);
  for (; n + kBlock <= count; n += kBlock) {
    std::uint64_t keyStream = 0;
    for (unsigned b = 0; b < kBlock; ++b) {
      keyStream |= static_cast<std::uint64_t>(NextKeyByte(state, i, j)) << BlockShift(b);
    }
    std::uint64_t word;
    std::memcpy(&word, bytes + n, kBlock);
    word ^= keyStream;
    std::memcpy(bytes + n, &word, kBlock);
  }
  for (; n < count; ++n) bytes[n] ^= static_cast<std::uint8_t>(NextKeyByte(state, i, j));
  return result;
}

}  // namespace lumerin
