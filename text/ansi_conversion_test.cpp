#include "text/ansi_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

namespace lumerin {
namespace {

const std::string kReplacementGb = "\x84\x31\xA4\x37";
const std::string kReplacementUtf8 = "\xEF\xBF\xBD";

// The UTF-8 form of the scalar value `code`.
std::string Utf8Of(char32_t code) {
  std::string out;
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
  return out;
}

TEST(Gb18030FromUtf8, KeepsCodePage936FormsAndRoundTrips) {
  // 文本长度： then an emoji (U+1F600) and the euro sign.
  const std::string utf8 =
      "\xE6\x96\x87\xE6\x9C\xAC\xE9\x95\xBF\xE5\xBA\xA6\xEF\xBC\x9A"
      "\xF0\x9F\x98\x80\xE2\x82\xAC";
  const std::string gb =
      "\xCE\xC4\xB1\xBE\xB3\xA4\xB6\xC8\xA3\xBA"
      "\x94\x39\xFC\x36\xA2\xE3";
  EXPECT_EQ(Gb18030FromUtf8(utf8), gb);
  EXPECT_EQ(Utf8FromGb18030(gb), utf8);
  EXPECT_TRUE(IsValidGb18030(gb));
  EXPECT_EQ(Gb18030FromUtf8("plain ASCII\r\n"), "plain ASCII\r\n");
  EXPECT_EQ(Gb18030FromUtf8(""), "");
  EXPECT_EQ(Utf8FromGb18030(""), "");
}

// Every character outside the private use area of the first plane; a few
// private-use code points lost their byte forms when GB18030 reassigned them.
TEST(Gb18030FromUtf8, EveryStandardCharacterRoundTrips) {
  std::string all;
  for (char32_t code = 1; code <= 0x10FFFF; ++code) {
    if (code >= 0xD800 && code <= 0xF8FF) continue;  // Surrogates and private use.
    all += Utf8Of(code);
  }
  const Text gb = Gb18030FromUtf8(all);
  EXPECT_TRUE(IsValidGb18030(gb));
  const bool same = Utf8FromGb18030(gb) == all;  // Kept out of the message: 4 MB.
  EXPECT_TRUE(same);
}

TEST(Utf8FromGb18030, EveryTwoByteCharacterRoundTripsByteExactly) {
  int valid = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int second = 0x40; second <= 0xFE; ++second) {
      if (second == 0x7F) continue;
      const std::string gb = {static_cast<char>(lead), static_cast<char>(second)};
      if (!IsValidGb18030(gb)) continue;
      ++valid;
      EXPECT_EQ(Gb18030FromUtf8(Utf8FromGb18030(gb)), gb) << lead << ' ' << second;
    }
  }
  // Code page 936 alone defines over 21,000 two-byte characters.
  EXPECT_GT(valid, 21000);
}

struct InvalidCase {
  const char* name;
  std::string input;
  std::string expected;
};

TEST(Gb18030FromUtf8, ReplacesInvalidSequencesAndDropsNul) {
  const std::string r = kReplacementGb;
  const InvalidCase cases[] = {
      {"strayByte",
       "a\xFF"
       "b",
       "a" + r + "b"},
      {"loneContinuation", "\x80", r},
      {"truncatedAtEnd", "a\xE4\xB8", "a" + r},
      {"truncatedBeforeAscii",
       "\xE4\xB8"
       "A",
       r + "A"},
      {"overlong", "\xC0\x80", r + r},
      {"surrogate", "\xED\xA0\x80", r + r + r},
      {"beyondUnicode", "\xF4\x90\x80\x80", r + r + r + r},
      {"nulDropped", std::string("a\0b", 3), "ab"},
      {"onlyNul", std::string(1, '\0'), ""},
  };
  for (const InvalidCase& c : cases) EXPECT_EQ(Gb18030FromUtf8(c.input), c.expected) << c.name;
}

TEST(Utf8FromGb18030, ReplacesInvalidSequences) {
  const std::string r = kReplacementUtf8;
  const InvalidCase cases[] = {
      {"byte80", "\x80", r},
      {"byteFF", "a\xFF", "a" + r},
      {"loneLeadAtEnd", "a\xB0", "a" + r},
      {"badSecondByteKept", "\xB0 x", r + " x"},
      {"cutFourByteAtEnd", "\x81\x30\x81", r},
      {"brokenFourByte",
       "\x81\x30"
       "A",
       r + "0A"},
      {"unassignedFourByte",
       "\x84\x31\xA5\x30"
       "a",
       r + "a"},
      {"beyondUnicode", "\xE3\x32\x9A\x36", r},
  };
  for (const InvalidCase& c : cases) {
    EXPECT_EQ(Utf8FromGb18030(c.input), c.expected) << c.name;
    EXPECT_FALSE(IsValidGb18030(c.input)) << c.name;
  }
}

TEST(IsValidGb18030, AcceptsWellFormedText) {
  EXPECT_TRUE(IsValidGb18030(""));
  EXPECT_TRUE(IsValidGb18030("abc\r\n"));
  EXPECT_TRUE(IsValidGb18030(kReplacementGb));
  EXPECT_TRUE(IsValidGb18030("\x81\x30\x81\x30\xA1\xA1"));
}

TEST(AnsiConversion, ArbitraryBytesGiveWellFormedResults) {
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> byte(1, 255);
  for (int round = 0; round < 200; ++round) {
    std::string input(static_cast<std::size_t>(round * 7 % 97), '\0');
    for (char& c : input) c = static_cast<char>(byte(random));
    const Text gb = Gb18030FromUtf8(input);
    EXPECT_TRUE(IsValidGb18030(gb)) << round;
    EXPECT_EQ(std::ranges::count(gb, '\0'), 0) << round;
    // Well-formed UTF-8 comes back from a round trip unchanged.
    const std::string utf8 = Utf8FromGb18030(input);
    EXPECT_EQ(Utf8FromGb18030(Gb18030FromUtf8(utf8)), utf8) << round;
  }
}

}  // namespace
}  // namespace lumerin
