#include "text/line_breaks.h"

#include <gtest/gtest.h>

#include <string>

namespace lumerin {
namespace {

TEST(LineBreaks, ConvertsBothWays) {
  struct Case {
    std::string lf;
    std::string crLf;
  };
  const Case cases[] = {
      {"", ""},         {"a\nb\n", "a\r\nb\r\n"}, {"\n\n", "\r\n\r\n"}, {"no break", "no break"},
      {"a\rb", "a\rb"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CrLfFromLf(c.lf), c.crLf) << c.lf;
    EXPECT_EQ(LfFromCrLf(c.crLf), c.lf) << c.lf;
  }
}

TEST(LineBreaks, RoundTripIsExactForEveryInput) {
  const std::string inputs[] = {"\r\n", "a\r\r\n\n", "\r", "x\r\n\ry\n\r", "\n\r\n\r"};
  for (const std::string& input : inputs) {
    EXPECT_EQ(LfFromCrLf(CrLfFromLf(input)), input) << input;
  }
  EXPECT_EQ(CrLfFromLf("\r\n"), "\r\r\n");
  EXPECT_EQ(LfFromCrLf("a\r"), "a\r");
}

}  // namespace
}  // namespace lumerin
