#include "service/code_generator.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "service/short_code.h"

namespace lumerin {
namespace {

TEST(CodeGenerator, DrawsCodesOfTheAlphabetAtTheAskedLength) {
  CodeGenerator generator;
  std::set<std::string> codes;
  std::set<char> seen;
  for (int i = 0; i < 2000; ++i) {
    std::string code;
    ASSERT_TRUE(generator.Draw(i % 2 == 0 ? 5 : 6, &code).ok());
    ASSERT_EQ(code.size(), i % 2 == 0 ? 5u : 6u);
    ASSERT_TRUE(IsWellFormedCode(code)) << code;
    ASSERT_EQ(code.find('_'), std::string::npos) << code;
    codes.insert(code);
    seen.insert(code.begin(), code.end());
  }
  // Even one collision among these draws has a chance below 1e-3; a stuck
  // or narrow generator repeats itself at once.
  EXPECT_GE(codes.size(), 1998u);
  EXPECT_EQ(seen.size(), kCodeAlphabet.size());
}

}  // namespace
}  // namespace lumerin
