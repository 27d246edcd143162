#include "text/text_basic.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace lumerin {
namespace {

TEST(TextLength, CountsBytes) {
  EXPECT_EQ(TextLength(""), 0);
  EXPECT_EQ(TextLength("abc"), 3);
  EXPECT_EQ(TextLength("\xCE\xC4\r\n"), 4);  // A two-byte character and CR LF count 2 each.
}

TEST(ConcatText, JoinsInArgumentOrder) {
  EXPECT_EQ(ConcatText({"\xCE\xC4\xB1\xBE", "", "3", ""}),
            "\xCE\xC4\xB1\xBE"
            "3");
  EXPECT_EQ(ConcatText({"", ""}), "");
  EXPECT_EQ(ConcatText({}), "");
}

TEST(CompareText, OrdersByUnsignedBytes) {
  struct Case {
    std::string a;
    std::string b;
    int sign;
  };
  const Case cases[] = {
      {"", "", 0},           {"abc", "abc", 0},      {"ab", "abc", -1},
      {"abc", "ab", 1},      {"abd", "abc", 1},      {"\x80", "\x7F", 1},
      {"a\xFF", "a\x01", 1}, {std::string(), "", 0}, {"", "a", -1},
  };
  for (const Case& c : cases) {
    const int result = CompareText(c.a, c.b);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << '"' << c.a << "\" vs \"" << c.b << '"';
  }
}

struct CutCase {
  const char* name;
  std::string text;
  int n;
  std::string expected;
};

TEST(TextLeft, TakesAtMostNFirstBytes) {
  const CutCase cases[] = {
      {"some", "abcdef", 2, "ab"},    {"all", "abc", 3, "abc"},
      {"beyond", "abc", 10, "abc"},   {"intMax", "abc", INT_MAX, "abc"},
      {"zero", "abc", 0, ""},         {"negative", "abc", -1, ""},
      {"intMin", "abc", INT_MIN, ""}, {"cutsCharacter", "ab\xCE\xC4", 3, "ab\xCE"},
      {"empty", "", 3, ""},
  };
  for (const CutCase& c : cases) EXPECT_EQ(TextLeft(c.text, c.n), c.expected) << c.name;
}

TEST(TextRight, TakesAtMostNLastBytes) {
  const CutCase cases[] = {
      {"some", "abcdef", 2, "ef"},
      {"beyond", "abc", 10, "abc"},
      {"intMax", "abc", INT_MAX, "abc"},
      {"zero", "abc", 0, ""},
      {"negative", "abc", -1, ""},
      {"intMin", "abc", INT_MIN, ""},
      {"cutsCharacter",
       "\xCE\xC4"
       "b",
       2,
       "\xC4"
       "b"},
      {"empty", "", 3, ""},
  };
  for (const CutCase& c : cases) EXPECT_EQ(TextRight(c.text, c.n), c.expected) << c.name;
}

TEST(TextMid, TakesAtMostNBytesFromStart) {
  struct Case {
    const char* name;
    int start;
    int n;
    std::string expected;
  };
  const Case cases[] = {
      {"middle", 2, 3, "bcd"},
      {"stopsAtEnd", 5, 10, "ef"},
      {"lastByte", 6, 1, "f"},
      {"startZero", 0, 3, ""},
      {"startNegative", -1, 3, ""},
      {"startBeyond", 7, 1, ""},
      {"nZero", 2, 0, ""},
      {"nNegative", 2, -4, ""},
      {"startIntMax", INT_MAX, INT_MAX, ""},
      {"startIntMin", INT_MIN, 3, ""},
      {"nIntMax", 3, INT_MAX, "cdef"},
  };
  for (const Case& c : cases) EXPECT_EQ(TextMid("abcdef", c.start, c.n), c.expected) << c.name;
  EXPECT_EQ(TextMid("", 1, 1), "");
}

}  // namespace
}  // namespace lumerin
