#include "codec/hex.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace lumerin {
namespace {

struct EncodeCase {
  const char* name;
  ByteArray bytes;
  const char* hex;
};

TEST(HexEncode, WritesTwoUpperCaseDigitsPerByte) {
  const EncodeCase cases[] = {
      {"Empty", {}, ""},
      {"Abc", {0x61, 0x62, 0x63}, "616263"},
      {"Extremes", {0x00, 0x0F, 0xF0, 0xFF}, "000FF0FF"},
      {"LettersUpperCase", {0xAB, 0xCD, 0xEF}, "ABCDEF"},
  };
  for (const EncodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HexEncode(c.bytes), c.hex);
  }
}

TEST(HexEncode, AgreesWithPrintfForEveryByteValue) {
  ByteArray all(256);
  std::string expected;
  for (int b = 0; b < 256; ++b) {
    all[b] = static_cast<std::uint8_t>(b);
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02X", b);
    expected += pair;
  }
  EXPECT_EQ(HexEncode(all), expected);
  EXPECT_EQ(HexDecode(expected), all);
}

struct DecodeCase {
  const char* name;
  std::string hex;
  ByteArray bytes;
};

TEST(HexDecode, ReadsDigitPairsOfEitherCase) {
  const DecodeCase cases[] = {
      {"Abc", "616263", {0x61, 0x62, 0x63}},   {"MixedCase", "6a6B", {0x6A, 0x6B}},
      {"LowerExtremes", "ff00", {0xFF, 0x00}}, {"OddLengthDropsLastCharacter", "616", {0x61}},
      {"OneCharacterGivesEmpty", "6", {}},     {"EmptyGivesEmpty", "", {}},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HexDecode(c.hex), c.bytes);
  }
}

TEST(HexDecode, NonDigitCountsAsZero) {
  const DecodeCase cases[] = {
      {"LetterBeyondF", "G1", {0x01}},
      {"SpaceAsLowNibble", "1 ", {0x10}},
      {"HighBytes",
       "\xB0\xA1"
       "7F",
       {0x00, 0x7F}},
      {"PunctuationNextToDigits", "/0:9@A`a", {0x00, 0x09, 0x0A, 0x0A}},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HexDecode(c.hex), c.bytes);
  }
}

}  // namespace
}  // namespace lumerin
