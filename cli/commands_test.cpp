// Runs the built lumerin-cli as a child process.
#include "cli/commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/testing/child_process.h"

namespace lumerin {
namespace {

using testing::ChildResult;

ChildResult RunCli(const std::vector<std::string>& arguments) {
  return testing::RunChildProcess(LUMERIN_CLI_PATH, arguments, "abc");
}

TEST(LumerinCli, UsageErrorsExitWithStatus2) {
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    const char* messagePart;
  };
  const Case cases[] = {
      {"NoCommand", {}, "no command"},
      {"UnknownCommand", {"frobnicate"}, "unknown command 'frobnicate'"},
      {"UnknownOption", {"seal", "--kye", "k"}, "unknown option '--kye'"},
      {"ShortOption", {"unseal", "-k"}, "unknown option '-k'"},
      {"MissingKeyValue", {"seal", "--key"}, "--key needs a value"},
      {"KeyTwice", {"seal", "--key", "a", "--key=b"}, "--key given twice"},
      {"UnexpectedOperand", {"seal", "extra"}, "unexpected operand 'extra'"},
      {"OperandAfterEndOfOptions", {"unseal", "--", "--raw"}, "unexpected operand '--raw'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ChildResult result = RunCli(c.arguments);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.output, "");
    EXPECT_NE(result.errors.find(c.messagePart), std::string::npos) << result.errors;
    EXPECT_NE(result.errors.find("usage: lumerin-cli seal"), std::string::npos);
  }
}

TEST(LumerinCli, HelpPrintsUsageOnStandardOutput) {
  for (const char* help : {"--help", "-h"}) {
    SCOPED_TRACE(help);
    const ChildResult result = RunCli({help});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, UsageText());
    EXPECT_EQ(result.errors, "");
  }
}

TEST(LumerinCli, KeyValueMayLookLikeAnOption) {
  const ChildResult dashKey = RunCli({"seal", "--key", "--raw"});
  EXPECT_EQ(dashKey.exitStatus, 0);
  EXPECT_EQ(dashKey.output, RunCli({"seal", "--key=--raw"}).output);
  EXPECT_NE(dashKey.output, RunCli({"seal"}).output);
}

}  // namespace
}  // namespace lumerin
