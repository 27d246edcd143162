// The checks on what clients send: codes, short links and long URLs.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "service/long_url.h"
#include "service/short_code.h"

namespace lumerin {
namespace {

TEST(ShortCode, AcceptsCodesAndAliasesOfTheirForm) {
  for (const std::string& code :
       std::vector<std::string>{"Ab3dE", "00000", "zzzzzz", "my_alias", std::string(32, 'x')}) {
    EXPECT_TRUE(IsWellFormedCode(code)) << code;
    EXPECT_TRUE(IsWellFormedAlias(code)) << code;
  }
  for (const std::string& code :
       std::vector<std::string>{"", "Ab3d", std::string(33, 'x'), "Ab-dE", "Ab3dE/", "Ab dE",
                                "Ab3d\xC3\xA9", "Ab%3E", "Ab3dE?"}) {
    EXPECT_FALSE(IsWellFormedCode(code)) << code;
    EXPECT_FALSE(IsWellFormedAlias(code)) << code;
  }
}

TEST(ShortCode, FindsTheCodeInShortLinks) {
  struct Case {
    std::string shortLink;
    std::optional<std::string> code;
  };
  const std::vector<Case> cases = {
      {"http://127.0.0.1:7312/Ab3dE", "Ab3dE"},
      {"Ab3dE", "Ab3dE"},
      {"https://example.org/my_alias", "my_alias"},
      {"HTTP://Example.org/Ab3dE", "Ab3dE"},
      {"http://other.host:1/Ab3dE", "Ab3dE"},
      // Near misses.
      {"", std::nullopt},
      {"http://127.0.0.1:7312/", std::nullopt},
      {"http://127.0.0.1:7312", std::nullopt},
      {"http:///Ab3dE", std::nullopt},
      {"http://host/Ab3dE?x=1", std::nullopt},
      {"http://host/path/Ab3dE", std::nullopt},
      {"http://host/Ab3d", std::nullopt},
      {"ftp://host/Ab3dE", std::nullopt},
      {"Ab3dE-Fg4hI", std::nullopt},
      {" Ab3dE", std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<std::string_view> code = CodeFromShortLink(c.shortLink);
    EXPECT_EQ(code.has_value(), c.code.has_value()) << c.shortLink;
    if (code.has_value() && c.code.has_value()) {
      EXPECT_EQ(*code, *c.code) << c.shortLink;
    }
  }
}

TEST(LongUrl, AcceptsPrintableHttpUrlsUpToTheLimit) {
  for (const std::string& url : std::vector<std::string>{
           std::string("http://txt1?"), "http://idx1?0A1B2C", "https://example.org/a?b=c&d=%20#e",
           "http://x/!$&'()*+,;=:@[]{}|^`~", "http://" + std::string(kMaxLongUrlLength - 7, 'A')}) {
    const Status status = CheckLongUrl(url);
    EXPECT_TRUE(status.ok()) << url.substr(0, 40) << ": " << status.message();
  }
}

TEST(LongUrl, RefusesWhatCannotBeEchoedOrIsNoUrl) {
  for (const std::string& url : std::vector<std::string>{
           std::string(""), "txt1?0A1B", "ftp://host/x", "HTTP://host/x", "http:/host",
           "http//host", "http://a b", "http://a\"b", "http://a\\b", "http://a<b", "http://a>b",
           "http://a\tb", "http://a\x7F", "http://caf\xC3\xA9",
           "http://" + std::string(kMaxLongUrlLength - 6, 'A')}) {
    const Status status = CheckLongUrl(url);
    EXPECT_FALSE(status.ok()) << url.substr(0, 40);
    EXPECT_FALSE(status.message().empty());
  }
}

}  // namespace
}  // namespace lumerin
