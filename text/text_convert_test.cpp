#include "text/text_convert.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

namespace lumerin {
namespace {

TEST(ToInteger, TruncatesFloatingValuesTowardZero) {
  struct Case {
    double value;
    int expected;
  };
  const Case cases[] = {
      {2.9999, 2},
      {-0.5, 0},
      {2.9, 2},
      {-2.9, -2},
      {5000 / 1800.0, 2},
      {0.0, 0},
      {2147483647.9, INT_MAX},
      {-2147483648.9, INT_MIN},
      {1e300, INT_MAX},
      {-1e300, INT_MIN},
      {std::numeric_limits<double>::infinity(), INT_MAX},
      {-std::numeric_limits<double>::infinity(), INT_MIN},
      {std::nan(""), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ToInteger(c.value), c.expected) << c.value;
}

TEST(ToInteger, ParsesDecimalAfterFullWidthFolding) {
  struct Case {
    const char* name;
    std::string text;
    int expected;
  };
  const Case cases[] = {
      {"plain", "80", 80},
      {"leadingSpaceTrailingSlash", " 443/", 443},
      {"negative", "-12", -12},
      {"plus", "+7", 7},
      {"letters", "abc", 0},
      {"empty", "", 0},
      {"signOnly", "-", 0},
      {"twoSigns", "+-3", 0},
      {"whiteSpaceRange", "\t\n\v\f\r 5", 5},
      {"spaceAfterSign", "- 5", 0},
      {"fullWidthDigits", "\xA3\xB8\xA3\xB0", 80},
      {"fullWidthSignAndSpace", "\xA1\xA1\xA3\xAD\xA3\xB3", -3},
      {"otherCharacterStops",
       "1\xCE\xC4"
       "2",
       1},
      {"loneLeadDropped", "12\xA3", 12},
      {"intMax", "2147483647", INT_MAX},
      {"intMin", "-2147483648", INT_MIN},
      {"aboveRangeSaturates", "99999999999999999999", INT_MAX},
      {"belowRangeSaturates", "-2147483649", INT_MIN},
      {"leadingZeros", "007", 7},
  };
  for (const Case& c : cases) EXPECT_EQ(ToInteger(c.text), c.expected) << c.name;
}

TEST(NumberToText, WritesPlainDecimal) {
  struct Case {
    long long value;
    const char* expected;
  };
  const Case cases[] = {
      {-5, "-5"},
      {0, "0"},
      {1234, "1234"},
      {LLONG_MIN, "-9223372036854775808"},
      {LLONG_MAX, "9223372036854775807"},
  };
  for (const Case& c : cases) EXPECT_EQ(NumberToText(c.value), c.expected) << c.value;
}

TEST(TextToBytes, CopiesBytesWithoutTerminator) {
  EXPECT_TRUE(TextToBytes("").empty());
  EXPECT_EQ(TextToBytes("A\xCE"), (ByteArray{0x41, 0xCE}));
}

TEST(BytesToText, StopsAtFirstZeroByte) {
  struct Case {
    ByteArray bytes;
    std::string expected;
  };
  const Case cases[] = {
      {{0x41, 0x00, 0x42}, "A"},
      {{0x00}, ""},
      {{}, ""},
      {{0x41, 0xFF}, "A\xFF"},
  };
  for (const Case& c : cases) EXPECT_EQ(BytesToText(c.bytes), c.expected);
}

TEST(CharFromCode, MakesOneByteText) {
  EXPECT_EQ(CharFromCode(0), "");
  EXPECT_EQ(CharFromCode(65), "A");
  EXPECT_EQ(CharFromCode(255), "\xFF");
  for (const int outside : {-1, 256, INT_MIN, INT_MAX}) EXPECT_EQ(CharFromCode(outside), "");
}

}  // namespace
}  // namespace lumerin
