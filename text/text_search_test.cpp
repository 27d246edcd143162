#include "text/text_search.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace lumerin {
namespace {

struct FindCase {
  const char* name;
  std::string text;
  std::string search;
  int start;
  bool ignoreCase;
  int expected;
};

TEST(FindText, FindsFirstOccurrenceFromStart) {
  const FindCase cases[] = {
      {"first", "abcb", "b", 0, false, 2},
      {"from3", "abcb", "b", 3, false, 4},
      {"pastEnd", "abcb", "b", 5, false, -1},
      {"startZero", "abcb", "b", 0, false, 2},
      {"startNegative", "abcb", "b", -7, false, 2},
      {"startIntMin", "abcb", "b", INT_MIN, false, 2},
      {"startIntMax", "abcb", "b", INT_MAX, false, -1},
      {"emptySearch", "abc", "", 0, false, 1},
      {"emptySearchFrom3", "abc", "", 3, false, 1},
      {"emptySearchFrom4", "abc", "", 4, false, -1},
      {"emptySearchEmptyText", "", "", 0, false, -1},
      {"emptyText", "", "a", 0, false, -1},
      {"longerThanText", "ab", "abc", 0, false, -1},
      {"atEnd", "abc", "bc", 0, false, 2},
      {"secondByteNotMatched",
       "\xB0"
       "AA",
       "A", 0, false, 3},
      {"startOnSecondByte",
       "\xB0"
       "AA",
       "A", 2, false, 2},
      {"loneLeadEndsScan", "a\xB0", "\xB0", 0, false, 2},
      {"foldedHeader", "Accept: x\r\nUSER-AGENT: y", "User-Agent:", 0, true, 12},
      {"exactHeader", "Accept: x\r\nUSER-AGENT: y", "User-Agent:", 0, false, -1},
      {"foldSecondBytes",
       "\xB0"
       "a",
       "\xB0"
       "A",
       0, true, 1},
      {"noFoldBeyondAscii", "\xC0", "\xE0", 0, true, -1},
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(FindText(c.text, c.search, c.start, c.ignoreCase), c.expected) << c.name;
  }
}

TEST(FindTextReverse, FindsLastOccurrenceEndingBeforeStart) {
  const FindCase cases[] = {
      {"whole", "a.b.c", ".", kWholeText, false, 4},
      {"before4", "a.b.c", ".", 4, false, 2},
      {"before2", "a.b.c", ".", 2, false, -1},
      {"before1", "a.b.c", ".", 1, false, -1},
      {"startIntMin", "a.b.c", ".", INT_MIN, false, -1},
      {"start6", "a.b.c", ".", 6, false, 4},
      {"start100", "a.b.c", ".", 100, false, 4},
      {"mustEndBeforeStart", "a.bc", "bc", 4, false, -1},
      {"emptySearch", "abc", "", kWholeText, false, 1},
      {"emptySearchEmptyText", "", "", kWholeText, false, -1},
      {"secondByteNotMatched",
       "A\xB0"
       "A",
       "A", kWholeText, false, 1},
      {"folded", "x:Ab:aB", "ab", kWholeText, true, 6},
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(FindTextReverse(c.text, c.search, c.start, c.ignoreCase), c.expected) << c.name;
  }
}

struct ReplaceCase {
  const char* name;
  std::string text;
  std::string search;
  std::string replacement;
  int start;
  int count;
  bool caseSensitive;
  std::string expected;
};

TEST(ReplaceText, ReplacesLeftToRightWithoutOverlap) {
  const ReplaceCase cases[] = {
      {"noOverlap", "aaa", "aa", "", 1, kNoLimit, true, "a"},
      {"countOne", "a-b-c", "-", "+", 1, 1, true, "a+b-c"},
      {"fromStart3", "a-b-c", "-", "", 3, kNoLimit, true, "a-bc"},
      {"startBeyond", "a-b-c", "-", "", 6, kNoLimit, true, "a-b-c"},
      {"startIntMax", "a-b-c", "-", "", INT_MAX, kNoLimit, true, "a-b-c"},
      {"startIntMin", "a-b-c", "-", "+", INT_MIN, kNoLimit, true, "a+b+c"},
      {"emptySearch", "abc", "", "x", 1, kNoLimit, true, "abc"},
      {"emptyText", "", "a", "x", 1, kNoLimit, true, ""},
      {"countZero", "a-b", "-", "+", 1, 0, true, "a-b"},
      {"negativeCount", "a-b-c", "-", "+", 1, -5, true, "a+b+c"},
      {"countIntMax", "a-b-c", "-", "+", 1, INT_MAX, true, "a+b+c"},
      {"replacementNotRescanned", "ab", "a", "aa", 1, kNoLimit, true, "aab"},
      {"foldedByDefaultFlag", "aXbxc", "x", "-", 1, kNoLimit, false, "a-b-c"},
      {"caseSensitive", "aXbxc", "x", "-", 1, kNoLimit, true, "aXb-c"},
      {"secondByteSkipped",
       "\xB0"
       "A-A",
       "A", "z", 1, kNoLimit, true,
       "\xB0"
       "A-z"},
      {"loneLeadDropped", "ab\xB0", "b", "c", 1, kNoLimit, true, "ac"},
      {"shortTailKept", "a-\xB0", "--", "+", 1, kNoLimit, true, "a-\xB0"},
  };
  for (const ReplaceCase& c : cases) {
    EXPECT_EQ(ReplaceText(c.text, c.search, c.replacement, c.start, c.count, c.caseSensitive),
              c.expected)
        << c.name;
  }
}

}  // namespace
}  // namespace lumerin
