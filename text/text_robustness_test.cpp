// Every operation called with awkward arguments: texts that end in a lone
// lead byte or half a full-width space, and counts and starts at the ends of
// the int range. Run under the sanitizers, this catches reads out of bounds
// and integer overflow; the checks here hold for every combination.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "text/byte_array.h"
#include "text/delimited.h"
#include "text/text_basic.h"
#include "text/text_blanks.h"
#include "text/text_convert.h"
#include "text/text_search.h"
#include "text/text_split.h"

namespace lumerin {
namespace {

const std::string kTexts[] = {
    "",     "\xB0", "a\xB0",           "\xA1",     "a\xA1\xA1",           " ", "ab", "\xB0\xB0\xB0",
    "a-b-", "--",   "\xA1\xA1 x \xA1", "[a]\xB0]", std::string(300, '-'),
};
const std::string kSearches[] = {"", "-", "\xB0", "a", "ab", "--", "\xA1\xA1", "]"};
const int kNumbers[] = {INT_MIN, INT_MIN + 1, -2,  -1,  0,           1,      2,
                        3,       4,           299, 301, INT_MAX - 1, INT_MAX};

TEST(TextToolkit, PositionsFoundLieInsideTheSearchedRegion) {
  for (const std::string& text : kTexts) {
    const int length = TextLength(text);
    for (const std::string& search : kSearches) {
      const int m = TextLength(search);
      for (const int start : kNumbers) {
        for (const bool fold : {false, true}) {
          const int found = FindText(text, search, start, fold);
          if (found != -1) {
            EXPECT_GE(found, 1);
            EXPECT_LE(found + m - 1, length);
            if (m > 0) {
              EXPECT_GE(found, start);
            }
          }
          const int last = FindTextReverse(text, search, start, fold);
          if (last != -1) {
            EXPECT_GE(last, 1);
            EXPECT_LE(static_cast<long long>(last) + m - 1, static_cast<long long>(start) - 1);
          }
        }
      }
    }
  }
}

TEST(TextToolkit, CutsStayInsideTheText) {
  for (const std::string& text : kTexts) {
    for (const int n : kNumbers) {
      const std::string left = TextLeft(text, n);
      const std::string right = TextRight(text, n);
      EXPECT_TRUE(text.starts_with(left));
      EXPECT_TRUE(text.ends_with(right));
      EXPECT_LE(left.size(), static_cast<std::size_t>(n < 0 ? 0 : n));
      for (const int start : kNumbers) {
        const std::string mid = TextMid(text, start, n);
        if (!mid.empty()) {
          EXPECT_EQ(text.substr(static_cast<std::size_t>(start) - 1, mid.size()), mid);
        }
      }
    }
  }
}

TEST(TextToolkit, ReplaceAndSplitKeepEverythingElse) {
  for (const std::string& text : kTexts) {
    for (const std::string& search : kSearches) {
      for (const int number : kNumbers) {
        // Replacing a search text by itself changes at most a lone lead byte.
        const std::string same = ReplaceText(text, search, search, number, number, true);
        EXPECT_TRUE(same == text || same + text.back() == text) << text << '/' << number;
        const std::string removed = ReplaceText(text, search, "", number, number, false);
        EXPECT_LE(removed.size(), text.size());
        const TextArray limited = SplitText(text, search, number);
        EXPECT_LE(ArrayCount(limited), number < 0 ? 0 : number);
        EXPECT_EQ(TextBetween(text, search, search, number, number % 2 == 0).size() <= text.size(),
                  true);
      }
      // Rejoined, the pieces give the text back, less one trailing separator.
      const TextArray pieces = SplitText(text, search);
      if (search.empty() || text.empty()) continue;
      std::string joined;
      for (int i = 1; i <= ArrayCount(pieces); ++i) {
        if (i > 1) joined += search;
        joined += ArrayElement(pieces, i);
      }
      EXPECT_TRUE(joined == text || joined + search == text) << text << '/' << search;
    }
  }
}

TEST(TextToolkit, BlankAndNumberOperationsAcceptAnything) {
  for (const std::string& text : kTexts) {
    EXPECT_LE(TrimBoth(text).size(), text.size());
    EXPECT_LE(RemoveAllSpaces(text).size(), text.size());
    EXPECT_EQ(ToLowerText(text).size(), text.size());
    EXPECT_LE(HeaderValue(text).size(), text.size());
    EXPECT_EQ(ToInteger(text), 0) << text;
  }
  for (const int n : {INT_MIN, -1, 0}) {
    EXPECT_TRUE(BlankText(n).empty());
    EXPECT_TRUE(BlankBytes(n).empty());
    EXPECT_TRUE(BytesLeft(TextToBytes("abc"), n).empty());
  }
}

}  // namespace
}  // namespace lumerin
