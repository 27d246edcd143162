#include "text/text_blanks.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace lumerin {
namespace {

struct BlankCase {
  const char* name;
  std::string text;
  std::string expected;
};

// "\xA1\xA1" is the full-width space.
TEST(TrimBoth, DropsLeadingAndTrailingBlanksOnly) {
  const BlankCase cases[] = {
      {"tabAndCrAreNotBlanks", " \tx \r", "\tx \r"},
      {"fullWidthSpaces", "\xA1\xA1x\xA1\xA1", "x"},
      {"mixedRuns", " \xA1\xA1 a b \xA1\xA1 ", "a b"},
      {"onlyBlanks", "   ", ""},
      {"empty", "", ""},
      {"nothingToTrim", "a", "a"},
      {"loneLeadDropped", "a\xB0", "a"},
      {"blanksBeforeLoneLeadStay", "a \xB0", "a "},
      {"onlyLoneLead", " \xB0", ""},
      {"halfFullWidthAtEndDropped", "a\xA1", "a"},
      {"a1SecondByteIsNoBlank", "\xB0\xA1\xA1", "\xB0\xA1"},
      {"a1PairAfterLeadIsCharacter", "\xA1\xB0 ", "\xA1\xB0"},
  };
  for (const BlankCase& c : cases) EXPECT_EQ(TrimBoth(c.text), c.expected) << c.name;
}

TEST(RemoveAllSpaces, DropsEveryBlank) {
  const BlankCase cases[] = {
      {"cookieList", "a=1; b=x y; c=3", "a=1;b=xy;c=3"},
      {"fullWidth",
       "\xA1\xA1"
       "a\xA1\xA1"
       "b",
       "ab"},
      {"otherBytesStay", "\t\r\n\xB0 ", "\t\r\n\xB0 "},
      {"loneLeadDropped", "a b\xB0", "ab"},
      {"empty", "", ""},
  };
  for (const BlankCase& c : cases) EXPECT_EQ(RemoveAllSpaces(c.text), c.expected) << c.name;
}

TEST(ToLowerText, FoldsOnlyAsciiLettersAtCharacterStarts) {
  const BlankCase cases[] = {
      {"ascii", "HTTPS://Host.Example/", "https://host.example/"},
      {"secondBytesUnchanged",
       "\xB0"
       "A\xC1"
       "Z",
       "\xB0"
       "A\xC1"
       "Z"},
      {"nonAsciiUnchanged", "@[`{", "@[`{"},
      {"loneLeadStays", "A\xB0", "a\xB0"},
      {"empty", "", ""},
  };
  for (const BlankCase& c : cases) EXPECT_EQ(ToLowerText(c.text), c.expected) << c.name;
}

TEST(BlankText, MakesNSpaces) {
  EXPECT_EQ(BlankText(3), "   ");
  EXPECT_EQ(BlankText(1), " ");
  for (const int none : {0, -1, INT_MIN}) EXPECT_EQ(BlankText(none), "") << none;
}

}  // namespace
}  // namespace lumerin
