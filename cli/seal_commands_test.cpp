// Runs the built lumerin-cli as a child process.
#include "cli/seal_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/testing/child_process.h"
#include "codec/seal.h"

namespace lumerin {
namespace {

using testing::ChildResult;

ChildResult RunCli(const std::vector<std::string>& arguments, std::string_view input) {
  return testing::RunChildProcess(LUMERIN_CLI_PATH, arguments, input);
}

// A multi-line Chinese text in UTF-8, as a terminal hands it over.
const std::string kChineseNote = "第一行：你好，世界\n第二行 — ½ € 😀\n\n末行无换行";

std::string Repeated(const std::string& piece, int times) {
  std::string text;
  for (int k = 0; k < times; ++k) text += piece;
  return text;
}

TEST(LumerinCliSeal, PrintsSealedTextAndOneLineBreak) {
  const ChildResult result = RunCli({"seal"}, "abc");
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.output, "636764\n");
  EXPECT_EQ(result.errors, "");
}

TEST(LumerinCliSeal, SealsTheWindowsFormOfTheText) {
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string input;
    std::string expectedText;  // the Text that must have been sealed
    std::string expectedKey;
  };
  const Case cases[] = {
      // UTF-8 becomes GB18030 and LF becomes CR LF, key included.
      {"Converted", {"seal", "--key", "密钥"}, "中\n", "\xD6\xD0\r\n", "\xC3\xDC\xD4\xBF"},
      {"KeyWithEquals", {"seal", "--key=密钥"}, "中", "\xD6\xD0", "\xC3\xDC\xD4\xBF"},
      // With --raw the bytes are sealed exactly as they arrive.
      {"Raw", {"seal", "--raw", "--key", "密钥"}, "中\n", "中\n", "密钥"},
      {"RawNotUtf8", {"seal", "--raw"}, "\xFF\xFE\x80", "\xFF\xFE\x80", ""},
      {"EmptyInput", {"seal", "--key", "k"}, "", "", "k"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ChildResult result = RunCli(c.arguments, c.input);
    EXPECT_EQ(result.exitStatus, 0) << result.errors;
    EXPECT_EQ(result.output, SealText(c.expectedText, c.expectedKey) + "\n");
  }
}

TEST(LumerinCliSeal, UnsealGivesTheInputBackExactly) {
  struct Case {
    const char* name;
    std::string input;
    std::vector<std::string> options;
  };
  const Case cases[] = {
      {"ChineseMultiLine", kChineseNote, {"--key", "钥匙 key"}},
      {"TrailingLineBreak", kChineseNote + "\n", {"--key", "钥匙 key"}},
      {"CrLfAlreadyThere", "one\r\ntwo\r\n", {"--key", "k"}},
      {"EmptyKey", kChineseNote, {}},
      {"EmptyText", "", {"--key", "k"}},
      {"LargerThanAPipe", Repeated(kChineseNote + "\n", 5000), {"--key", "k"}},
      {"RawBytes", "\x01\xFF\r\n\xB0", {"--raw", "--key", "\xB0\xA1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> seal = {"seal"};
    seal.insert(seal.end(), c.options.begin(), c.options.end());
    const ChildResult sealed = RunCli(seal, c.input);
    ASSERT_EQ(sealed.exitStatus, 0) << sealed.errors;
    std::vector<std::string> unseal = {"unseal"};
    unseal.insert(unseal.end(), c.options.begin(), c.options.end());
    const ChildResult unsealed = RunCli(unseal, sealed.output);
    EXPECT_EQ(unsealed.exitStatus, 0);
    EXPECT_EQ(unsealed.output, c.input);
    EXPECT_EQ(unsealed.errors, "");
  }
}

TEST(LumerinCliSeal, UnsealIgnoresTrailingWhiteSpaceOnly) {
  EXPECT_EQ(RunCli({"unseal"}, "636764 \r\n\n\t").output, "abc");
  EXPECT_EQ(RunCli({"unseal"}, "636764").output, "abc");
  EXPECT_EQ(RunCli({"unseal"}, "636764").exitStatus, 0);
  EXPECT_EQ(RunCli({"unseal"}, " 636764").exitStatus, 1);
}

TEST(LumerinCliSeal, RefusesInputThatCannotBeATextOrASealedText) {
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string input;
    const char* messagePart;
  };
  const Case cases[] = {
      {"ZeroByteInText", {"seal"}, std::string("a\0b", 3), "zero byte (byte 2)"},
      {"ZeroByteInRawText", {"seal", "--raw"}, std::string("\0", 1), "zero byte (byte 1)"},
      {"TextNotUtf8", {"seal"}, "caf\xE9", "not valid UTF-8"},
      {"KeyNotUtf8", {"seal", "--key", "\xFF"}, "abc", "the key"},
      {"ZeroByteInSealedText",
       {"unseal"},
       std::string("63\0"
                   "6764",
                   7),
       "zero byte"},
      {"NotHexadecimal", {"unseal"}, "6367G4", "byte 5 is not a hexadecimal digit"},
      {"CutShort", {"unseal"}, "63676\n", "odd number of digits"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ChildResult result = RunCli(c.arguments, c.input);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.output, "");
    EXPECT_NE(result.errors.find(c.messagePart), std::string::npos) << result.errors;
  }
}

TEST(LumerinCliSeal, UnsealWithWrongKeyWarns) {
  const ChildResult sealed = RunCli({"seal", "--key", "right"}, kChineseNote);
  ASSERT_EQ(sealed.exitStatus, 0);
  const ChildResult unsealed = RunCli({"unseal", "--key", "wrong"}, sealed.output);
  EXPECT_EQ(unsealed.exitStatus, 0);
  EXPECT_NE(unsealed.output, kChineseNote);
  EXPECT_NE(unsealed.errors.find("warning"), std::string::npos);
}

}  // namespace
}  // namespace lumerin
