#include "service/url_hash.h"

#include <bit>

namespace lumerin {
namespace {

std::uint64_t LoadLittleEndian(const std::uint8_t* bytes, std::size_t count) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < count; ++i) value |= std::uint64_t{bytes[i]} << (8 * i);
  return value;
}

struct SipState {
  std::uint64_t v0, v1, v2, v3;

  void Round() {
    v0 += v1;
    v1 = std::rotl(v1, 13);
    v1 ^= v0;
    v0 = std::rotl(v0, 32);
    v2 += v3;
    v3 = std::rotl(v3, 16);
    v3 ^= v2;
    v0 += v3;
    v3 = std::rotl(v3, 21);
    v3 ^= v0;
    v2 += v1;
    v1 = std::rotl(v1, 17);
    v1 ^= v2;
    v2 = std::rotl(v2, 32);
  }

  void Absorb(std::uint64_t block) {
    v3 ^= block;
    Round();
    Round();
    v0 ^= block;
  }
};

}  // namespace

std::uint64_t SipHash24(const UrlHashKey& key, std::string_view text) {
  const std::uint64_t k0 = LoadLittleEndian(key.data(), 8);
  const std::uint64_t k1 = LoadLittleEndian(key.data() + 8, 8);
  SipState state{k0 ^ 0x736f6d6570736575ULL, k1 ^ 0x646f72616e646f6dULL, k0 ^ 0x6c7967656e657261ULL,
                 k1 ^ 0x7465646279746573ULL};
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const std::size_t whole = text.size() / 8 * 8;
  for (std::size_t i = 0; i < whole; i += 8) state.Absorb(LoadLittleEndian(bytes + i, 8));
  // The last block holds the remaining bytes and the length's low byte on top.
  state.Absorb(LoadLittleEndian(bytes + whole, text.size() - whole) |
               (std::uint64_t{text.size() & 0xFF} << 56));
  state.v2 ^= 0xFF;
  for (int i = 0; i < 4; ++i) state.Round();
  return state.v0 ^ state.v1 ^ state.v2 ^ state.v3;
}

}  // namespace lumerin
