// Runs the built lumerin-cli as a child process against a link service.
#include "cli/link_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/testing/child_process.h"
#include "linkstore/testing/fake_link_service.h"
#include "testsupport/http/scripted_server.h"
#include "testsupport/linkd/linkd_fixture.h"

namespace lumerin {
namespace {

using testing::ChildResult;
using testsupport::FakeLinkBehaviour;
using testsupport::FakeLinkService;

ChildResult RunCli(const std::string& host, const std::vector<std::string>& arguments,
                   std::string_view input = {}) {
  return testing::RunChildProcess(LUMERIN_CLI_PATH, arguments, input, {"LUMERIN_SERVICE=" + host});
}

bool Contains(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

// About 100 KB of Chinese UTF-8 text in lines, each a little different.
std::string ChineseText() {
  const std::string line = "第一章 春眠不觉晓，处处闻啼鸟。夜来风雨声，花落知多少。";
  std::string text;
  for (int k = 0; text.size() < 100 * 1024; ++k) text += line + std::to_string(k) + "\n";
  return text;
}

// The command line against the real service.
class LumerinCliLinks : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(linkd_.Start()) << linkd_.ServiceLog(); }

  ChildResult Run(const std::vector<std::string>& arguments, std::string_view input = {}) {
    return RunCli(linkd_.host(), arguments, input);
  }

  // Shortens `text` with `options` and gives the code; fails the test when
  // shortening does not succeed.
  std::string Shorten(std::string_view text, std::vector<std::string> options) {
    options.insert(options.begin(), "shorten");
    const ChildResult result = Run(options, text);
    EXPECT_EQ(result.exitStatus, 0) << result.errors;
    EXPECT_TRUE(result.output.ends_with("\n")) << result.output;
    return result.output.substr(0, result.output.find('\n'));
  }

  LinkdFixture linkd_;
};

TEST_F(LumerinCliLinks, RestoresWhatItShortenedByteForByte) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> options;
  };
  const Case cases[] = {
      {"hello", "hello", {"--key", "k"}},
      {"100 KB of Chinese", ChineseText(), {"--key", "密钥"}},
      {"verified", ChineseText() + "末行", {"--key", "k", "--verify"}},
      {"raw bytes", "\xB0\xA1\r\n\xFF", {"--raw", "--key=k"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string code = Shorten(c.text, c.options);
    std::vector<std::string> restore = {"restore", code};
    for (const std::string& option : c.options) {
      if (option != "--verify") restore.push_back(option);
    }
    const ChildResult restored = Run(restore);
    EXPECT_EQ(restored.exitStatus, 0) << restored.errors;
    EXPECT_EQ(restored.output, c.text);
    EXPECT_EQ(restored.errors, "");
  }
}

TEST_F(LumerinCliLinks, ReportsFailuresWithExitStatusOne) {
  const std::string code = Shorten("secret note", {"--key", "right"});
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string input;
    const char* messagePart;
  };
  const Case cases[] = {
      {"too long", {"shorten"}, std::string(135000, 'a'), "at most 134999"},
      {"unknown code", {"restore", "ZZZZZ"}, "", "gave \"0\""},
      {"code too short", {"restore", "Ab3"}, "", "gave \"0\""},
      {"text not UTF-8", {"shorten"}, "caf\xE9", "not valid UTF-8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ChildResult result = Run(c.arguments, c.input);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.output, "");
    EXPECT_TRUE(Contains(result.errors, c.messagePart)) << result.errors;
  }
  EXPECT_EQ(linkd_.StoredRecordCount(), 1);
}

TEST_F(LumerinCliLinks, WarnsWhenTheRestoredBytesAreNoText) {
  const std::string text(200, 'x');
  const std::string code = Shorten(text, {"--key", "right"});
  const ChildResult result = Run({"restore", code, "--key", "wrong"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_FALSE(result.output.empty());
  EXPECT_NE(result.output, text);
  EXPECT_TRUE(Contains(result.errors, "key may be wrong")) << result.errors;
}

TEST_F(LumerinCliLinks, RejectsWrongCommandLinesWithExitStatusTwo) {
  const std::vector<std::string> lines[] = {
      {"shorten", "extra"},          {"restore"},
      {"restore", "Ab3dE", "Xy9zW"}, {"restore", "Ab3dE", "--verify"},
      {"shorten", "--key"},          {"shorten", "--verbose"},
      {"shorten", "--", "--verify"},
  };
  for (const std::vector<std::string>& line : lines) {
    SCOPED_TRACE(line.back());
    const ChildResult result = Run(line);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_TRUE(Contains(result.errors, "usage:")) << result.errors;
  }
  EXPECT_EQ(linkd_.RequestCount(), 0);
}

TEST_F(LumerinCliLinks, TakesAKeyThatLooksLikeTheVerifyOption) {
  const std::string code = Shorten("note", {"--key", "--verify"});
  EXPECT_EQ(Run({"restore", code, "--key=--verify"}).output, "note");
}

TEST(LumerinCliShorten, VerifyFailsWhenTheServiceCutsLongUrls) {
  FakeLinkBehaviour behaviour;
  behaviour.answerLongUrl = [](std::string_view longUrl) {
    return std::string(longUrl.substr(0, longUrl.size() - 2));
  };
  FakeLinkService service(behaviour);
  const ChildResult result = RunCli(service.Address().host, {"shorten", "--verify"}, "hello");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.output, "");
  // The last byte is lost with the last two sealed characters.
  EXPECT_TRUE(Contains(result.errors, "byte offset 4")) << result.errors;
  EXPECT_TRUE(Contains(result.errors, "sent 5 bytes, read back 4")) << result.errors;
}

TEST(LumerinCliShorten, FailsWhenTheServiceIsDown) {
  const std::string host = "127.0.0.1:" + std::to_string(testsupport::ClosedLoopbackPort());
  const ChildResult result = RunCli(host, {"shorten"}, "hello");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.output, "");
  EXPECT_TRUE(Contains(result.errors, host)) << result.errors;
}

}  // namespace
}  // namespace lumerin
