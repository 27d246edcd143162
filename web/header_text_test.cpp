#include "web/header_text.h"

#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace lumerin {
namespace {

// The lines written back as "name:value", for comparison.
std::vector<std::string> Written(const std::vector<HeaderLine>& lines) {
  std::vector<std::string> written;
  for (const HeaderLine& line : lines) written.push_back(line.name + ":" + line.value);
  return written;
}

TEST(ParseHeaderText, SplitsAtCrLfOnly) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"Referer: x\r\nAccept: */*", {"Referer: x", "Accept: */*"}},
      {"", {}},
      {"\r\n", {}},
      {"A: 1\r\n", {"A: 1"}},
      {"A: 1\r\n\r\nB: 2", {"A: 1", "B: 2"}},
      {"A:", {"A:"}},
      {"A: a:b\tc \xB0\xA1", {"A: a:b\tc \xB0\xA1"}},
      {"x-Weird!#$%&'*+-.^_`|~: v", {"x-Weird!#$%&'*+-.^_`|~: v"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<std::vector<HeaderLine>> lines = ParseHeaderText(c.text);
    ASSERT_TRUE(lines);
    EXPECT_EQ(Written(*lines), c.lines);
  }
}

TEST(ParseHeaderText, RefusesLinesThatAreNotSentAsTheyStand) {
  const std::string cases[] = {
      "A: 1\nB: 2",
      "A: 1\rB: 2",
      "A: 1\r\r\n",
      "\nA: 1",
      "no colon",
      ": empty name",
      " A: folded",
      "A B: 1",
      "A: \x01",
      "A: \x7F",
      std::string("A: \0", 4),
      "Content-Length: 3",
      "content-length: 3",
      "Transfer-Encoding: chunked",
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseHeaderText(text), std::nullopt);
  }
}

TEST(HasHeaderLine, MatchesWholeNamesIgnoringCase) {
  const std::vector<HeaderLine> lines = *ParseHeaderText("user-AGENT: x\r\nX-Accept: y");
  EXPECT_TRUE(HasHeaderLine(lines, "User-Agent"));
  EXPECT_FALSE(HasHeaderLine(lines, "Accept"));
  EXPECT_FALSE(HasHeaderLine(lines, "User"));
}

}  // namespace
}  // namespace lumerin
