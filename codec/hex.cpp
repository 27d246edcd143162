#include "codec/hex.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lumerin {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// The two-character forms "00" to "FF", indexed by byte value, so that
// encoding copies two characters per byte without any arithmetic.
constexpr std::array<std::array<char, 2>, 256> kByteForms = [] {
  std::array<std::array<char, 2>, 256> forms{};
  for (std::size_t b = 0; b < forms.size(); ++b) forms[b] = {kDigits[b >> 4], kDigits[b & 0xF]};
  return forms;
}();

// The value of each character as a hexadecimal digit; 0 for a non-digit.
constexpr std::array<std::uint8_t, 256> kDigitValues = [] {
  std::array<std::uint8_t, 256> values{};
  for (std::uint8_t v = 0; v < 10; ++v) values['0' + v] = v;
  for (std::uint8_t v = 0; v < 6; ++v) {
    values['A' + v] = static_cast<std::uint8_t>(10 + v);
    values['a' + v] = static_cast<std::uint8_t>(10 + v);
  }
  return values;
}();

}  // namespace

Text HexEncode(ByteView bytes) {
  Text hex(2 * bytes.size(), '\0');
  char* out = hex.data();
  for (const std::uint8_t b : bytes) {
    std::memcpy(out, kByteForms[b].data(), 2);
    out += 2;
  }
  return hex;
}

ByteArray HexDecode(std::string_view hex) {
  ByteArray bytes(hex.size() / 2);
  for (std::size_t k = 0; k < bytes.size(); ++k) {
    const std::uint8_t high = kDigitValues[static_cast<unsigned char>(hex[2 * k])];
    const std::uint8_t low = kDigitValues[static_cast<unsigned char>(hex[2 * k + 1])];
    bytes[k] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return bytes;
}

}  // namespace lumerin
