#include "text/text_split.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

namespace lumerin {
namespace {

TEST(SplitText, CutsAtEverySeparator) {
  struct Case {
    const char* name;
    std::string text;
    std::string separator;
    std::optional<int> maxCount;
    TextArray expected;
  };
  const Case cases[] = {
      {"trailingSeparatorAddsNothing", "a-b-", "-", std::nullopt, {"a", "b"}},
      {"two", "a-b", "-", std::nullopt, {"a", "b"}},
      {"adjacentSeparators", "a--b", "-", std::nullopt, {"a", "", "b"}},
      {"leadingSeparator", "-a", "-", std::nullopt, {"", "a"}},
      {"onlySeparator", "-", "-", std::nullopt, {""}},
      {"noSeparator", "abc", "-", std::nullopt, {"abc"}},
      {"emptyText", "", "-", std::nullopt, {}},
      {"emptySeparator", "abc", "", std::nullopt, {"abc"}},
      {"defaultComma", "a,b", ",", std::nullopt, {"a", "b"}},
      {"multiByteSeparator", "a; b;c", "; ", std::nullopt, {"a", "b;c"}},
      {"headerBlockEndsInEmptyLine",
       "A: 1\r\nB: 2\r\n\r\n",
       "\r\n",
       std::nullopt,
       {"A: 1", "B: 2", ""}},
      {"neverFolded", "aXbxc", "x", std::nullopt, {"aXb", "c"}},
      {"secondByteNotSeparator", "\xB0-a-b", "-", std::nullopt, {"\xB0-a", "b"}},
      {"loneLeadKeptInLastPiece", "a-b\xB0", "-", std::nullopt, {"a", "b\xB0"}},
      {"maxCountStopsAndDrops", "a-b-c", "-", 2, {"a", "b"}},
      {"maxCountOneKeepsNoRest", "a-b-c", "-", 1, {"a"}},
      {"maxCountAboveTotal", "a-b-c", "-", INT_MAX, {"a", "b", "c"}},
      {"maxCountZero", "a-b", "-", 0, {}},
      {"maxCountNegative", "a-b", "-", INT_MIN, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitText(c.text, c.separator, c.maxCount), c.expected) << c.name;
  }
}

TEST(TextArray, CountsAppendsAndReadsOneBased) {
  TextArray array;
  EXPECT_EQ(ArrayCount(array), 0);
  ArrayAppend(array, "x");
  ArrayAppend(array, "");
  EXPECT_EQ(ArrayCount(array), 2);
  EXPECT_EQ(ArrayElement(array, 1), "x");
  EXPECT_EQ(ArrayElement(array, 2), "");
  for (const int outside : {0, 3, -1, INT_MIN, INT_MAX}) {
    EXPECT_EQ(ArrayElement(array, outside), "") << outside;
  }
}

}  // namespace
}  // namespace lumerin
