#include "codec/seal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>

#include "codec/hex.h"
#include "codec/rc4.h"

namespace lumerin {
namespace {

struct SealCase {
  const char* name;
  std::string text;
  std::string key;
  std::string sealed;
};

TEST(SealText, KnownSealedTextsAndBack) {
  const SealCase cases[] = {
      {"AbcEmptyKey", "abc", "", "636764"},
      {"EmptyTextEmptyKey", "", "", ""},
      {"EmptyTextWithKey", "", "key", ""},
      // 0x01 bytes under a published RC4 key with a high first byte (83): the
      // sealed text is its key stream 80 AD 97 BD ... with every byte XOR 01.
      {"HighKeyBytesCountUnsigned", std::string(8, '\x01'), "\x83\x32\x22\x77\x2A",
       "81AC96BCC872DE8B"},
  };
  for (const SealCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SealText(c.text, c.key), c.sealed);
    EXPECT_EQ(UnsealText(c.sealed, c.key), c.text);
  }
}

TEST(UnsealText, AcceptsLowerCaseDigits) {
  std::string sealed = SealText("\xC4\xFA\xBA\xC3, world", "k");
  std::transform(sealed.begin(), sealed.end(), sealed.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  EXPECT_EQ(UnsealText(sealed, "k"), "\xC4\xFA\xBA\xC3, world");
}

TEST(UnsealText, EndsAtTheFirstZeroByte) {
  const ByteArray withZero = {'A', 0x00, 'B'};
  EXPECT_EQ(UnsealText(HexEncode(Rc4Transform(withZero, "k")), "k"), "A");
  const ByteArray leadingZero = {0x00, 'B'};
  EXPECT_EQ(UnsealText(HexEncode(Rc4Transform(leadingZero, "k")), "k"), "");
}

// A random text or key of `minLength` to `maxLength` bytes, none of them zero.
std::string RandomText(std::mt19937& generator, int minLength, int maxLength) {
  std::uniform_int_distribution<int> length(minLength, maxLength);
  std::uniform_int_distribution<int> byteValue(1, 255);
  std::string text(static_cast<std::size_t>(length(generator)), '\0');
  for (char& c : text) c = static_cast<char>(byteValue(generator));
  return text;
}

TEST(SealText, RandomTextsAndKeysRoundTrip) {
  std::mt19937 generator(20240601);
  for (int round = 0; round < 300; ++round) {
    const std::string text = RandomText(generator, 0, 400);
    const std::string key = RandomText(generator, 0, 300);
    SCOPED_TRACE(round);
    const Text sealed = SealText(text, key);
    ASSERT_EQ(sealed.size(), 2 * text.size());
    ASSERT_EQ(sealed.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    ASSERT_EQ(SealText(text, key), sealed);
    ASSERT_EQ(UnsealText(sealed, key), text);
  }
}

TEST(SealText, LongKeySealsAsItsFirst256Bytes) {
  std::mt19937 generator(256);
  const std::string key = RandomText(generator, 257, 600);
  const std::string text = "\xD6\xD0\xCE\xC4 text\r\nsecond line";
  EXPECT_EQ(SealText(text, key), SealText(text, key.substr(0, 256)));
  EXPECT_EQ(SealText(text, key), SealText(text, key.substr(0, 256) + "another tail"));
}

}  // namespace
}  // namespace lumerin
