#include "text/delimited.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace lumerin {
namespace {

// The quote word "#引号" in GB18030.
const std::string kQuote = "#\xD2\xFD\xBA\xC5";

struct BetweenCase {
  const char* name;
  std::string source;
  std::string left;
  std::string right;
  int start;
  bool ignoreCase;
  std::string expected;
};

TEST(TextBetween, TakesBytesBetweenMarkers) {
  const BetweenCase cases[] = {
      {"tinyurlKeepsBackslash", "{\"tinyurl\":\"\\/k3Zp9Q\",\"status\":0}", "{\"tinyurl\":\"",
       "\",\"", 0, false, "\\/k3Zp9Q"},
      {"longurl", "{\"status\":0,\"longurl\":\"P?4F2A\"}", "\"longurl\":\"", "\"}", 0, false,
       "P?4F2A"},
      {"quoteWordMarkers", "{\"status\":0,\"longurl\":\"P?4F2A\"}",
       kQuote + "longurl" + kQuote + ":" + kQuote, kQuote + "}", 0, false, "P?4F2A"},
      {"noLeftMarker", "{\"status\":0}", "\"longurl\":\"", "\"}", 0, false, ""},
      {"noRightAfterLeft", "{\"tinyurl\":\"k3Zp9Q\"}", "{\"tinyurl\":\"", "\",\"", 0, false, ""},
      {"cookieKeepsLeadingSpace", "Set-Cookie: sid=9f3a; path=/", "Set-Cookie:", ";", 0, false,
       " sid=9f3a"},
      {"userAgent", "Accept: */*\r\nUser-Agent: Tool/2.0\r\n", "User-Agent:", "\r\n", 0, false,
       " Tool/2.0"},
      {"userAgentWithoutCrLf", "User-Agent: Tool/2.0", "User-Agent:", "\r\n", 0, false, ""},
      {"adjacentMarkers", "a[]b", "[", "]", 0, false, ""},
      {"firstLeftOnly", "[a][b]", "[", "]", 0, false, "a"},
      {"earlierRightIgnored", "]x[y]", "[", "]", 0, false, "y"},
      {"leftAtEnd", "ab[", "[", "]", 0, false, ""},
      {"startSkipsEarlierLeft", "[a][b]", "[", "]", 2, false, "b"},
      {"startIntMax", "[a]", "[", "]", INT_MAX, false, ""},
      {"startIntMin", "[a]", "[", "]", INT_MIN, false, "a"},
      {"emptyLeftTakesPrefix", "ab]c]", "", "]", 0, false, "ab"},
      {"emptyRightGivesEmpty", "[ab]", "[", "", 0, false, ""},
      {"sourceQuoteWordUntouched", "[" + kQuote + "]", "[", "]", 0, false, kQuote},
      {"emptySource", "", "[", "]", 0, false, ""},
      {"ignoreCaseMatches", "user-agent: t\r\n", "User-Agent:", "\r\n", 0, true, " t"},
      {"exactByDefault", "user-agent: t\r\n", "User-Agent:", "\r\n", 0, false, ""},
      {"twoByteContentKept", "[\xCE\xC4\xB1\xBE]", "[", "]", 0, false, "\xCE\xC4\xB1\xBE"},
      {"rightInsideCharacterNotFound", "[\xB0]]", "[", "]", 0, false, "\xB0]"},
  };
  for (const BetweenCase& c : cases) {
    EXPECT_EQ(TextBetween(c.source, c.left, c.right, c.start, c.ignoreCase), c.expected) << c.name;
  }
}

TEST(HeaderValue, TrimsTextAfterFirstColon) {
  struct Case {
    const char* name;
    std::string line;
    std::string expected;
  };
  const Case cases[] = {
      {"location", "Location: /next?id=7", "/next?id=7"},
      {"laterColonsStay", "Location: /p?t=a:b ", "/p?t=a:b"},
      {"nothingAfterColon", "Location:", ""},
      {"noColon", "Location /p", ""},
      {"empty", "", ""},
      {"fullWidthSpacesTrimmed", "Location:\xA1\xA1/p\xA1\xA1", "/p"},
      {"tabStays", "Location:\t/p", "\t/p"},
      {"urlWithPort", "Location: http://h:8080/", "http://h:8080/"},
      {"nameNotLookedAt", ": x", "x"},
  };
  for (const Case& c : cases) EXPECT_EQ(HeaderValue(c.line), c.expected) << c.name;
}

}  // namespace
}  // namespace lumerin
