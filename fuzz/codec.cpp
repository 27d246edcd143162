// Fuzzes the sealing codec: RC4, the hexadecimal form, and sealing a text
// with both, on arbitrary bytes and keys (keys longer than 256 bytes
// included).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "codec/hex.h"
#include "codec/rc4.h"
#include "codec/seal.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"

namespace lumerin::fuzz {
namespace {

std::string_view AsChars(ByteView bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

bool IsUpperHex(std::string_view text) {
  return text.find_first_not_of("0123456789ABCDEF") == std::string_view::npos;
}

// The value HexDecode gives a character: its hexadecimal value in either
// case, 0 for any other character.
int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

void CheckHex(const ByteArray& bytes, std::string_view text) {
  const Text hex = HexEncode(bytes);
  Require(hex.size() == 2 * bytes.size() && IsUpperHex(hex),
          "HexEncode writes two upper-case hexadecimal digits per byte",
          {{"bytes", AsChars(bytes)}});
  Require(HexDecode(hex) == bytes, "HexDecode reads HexEncode back", {{"hex", hex}});

  const ByteArray decoded = HexDecode(text);
  Require(decoded.size() == text.size() / 2, "HexDecode gives one byte per two characters",
          {{"text", text}});
  for (std::size_t k = 0; k < decoded.size(); ++k) {
    const int expected = 16 * DigitValue(text[2 * k]) + DigitValue(text[2 * k + 1]);
    Require(decoded[k] == expected, "HexDecode reads each pair of characters as one byte",
            {{"text", text}});
  }
}

void CheckRc4(const ByteArray& data, const Text& key) {
  const std::initializer_list<Shown> shown = {{"data", AsChars(data)}, {"key", key}};
  const ByteArray once = Rc4Transform(data, key);
  Require(once.size() == data.size(), "Rc4Transform keeps the length", shown);
  Require(Rc4Transform(once, key) == data, "Rc4Transform twice gives the data back", shown);
  if (key.size() > 256) {
    Require(once == Rc4Transform(data, std::string_view(key).substr(0, 256)),
            "A key acts as its first 256 bytes", shown);
  }
}

void CheckSeal(const Text& text, const Text& key, std::string_view anySealed) {
  const std::initializer_list<Shown> shown = {{"text", text}, {"key", key}};
  const Text sealed = SealText(text, key);
  Require(sealed.size() == 2 * text.size() && IsUpperHex(sealed),
          "SealText writes two upper-case hexadecimal digits per byte", shown);
  Require(UnsealText(sealed, key) == text, "UnsealText of SealText gives the text back", shown);

  // Whatever it is handed, unsealing gives a text: at most one byte per two
  // characters and no zero byte.
  const Text unsealed = UnsealText(anySealed, key);
  Require(unsealed.size() <= anySealed.size() / 2 && unsealed.find('\0') == Text::npos,
          "UnsealText gives a text of at most half the sealed length",
          {{"sealed", anySealed}, {"key", key}});
}

}  // namespace
}  // namespace lumerin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace lumerin::fuzz;
  FuzzedDataProvider data(bytes, size);
  const std::string key = ConsumeText(data, 320);
  const std::string raw = data.ConsumeRemainingBytesAsString();
  const lumerin::ByteArray rawBytes(raw.begin(), raw.end());
  std::string text = raw;
  std::erase(text, '\0');

  CheckHex(rawBytes, text);
  CheckRc4(rawBytes, key);
  CheckSeal(text, key, text);
  return 0;
}
