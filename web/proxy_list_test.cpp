#include "web/proxy_list.h"

#include <string>

#include "gtest/gtest.h"

namespace lumerin {
namespace {

TEST(ParseServerAddress, ReadsHostAndPort) {
  struct Case {
    std::string text;
    std::optional<std::string> host;  // nullopt: refused
    int port;
  };
  const Case cases[] = {
      {"proxy.lan:3128", "proxy.lan", 3128},
      {"127.0.0.1", "127.0.0.1", 80},
      {"h_1-2:65535", "h_1-2", 65535},
      {"h:0", std::nullopt, 0},
      {"h:65536", std::nullopt, 0},
      {"h:", std::nullopt, 0},
      {"h:+80", std::nullopt, 0},
      {"h:8 0", std::nullopt, 0},
      {":80", std::nullopt, 0},
      {"", std::nullopt, 0},
      {"u@h:80", std::nullopt, 0},
      {"h/p", std::nullopt, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<ServerAddress> address = ParseServerAddress(c.text, 80);
    ASSERT_EQ(address.has_value(), c.host.has_value());
    if (!address) continue;
    EXPECT_EQ(address->host, *c.host);
    EXPECT_EQ(address->port, c.port);
  }
}

TEST(ProxyList, ChoosesTheFirstEntryForTheScheme) {
  const std::optional<ProxyList> list = ProxyList::Parse(" https=s:1;http=h:2 ; all:3");
  ASSERT_TRUE(list);
  EXPECT_EQ(list->ForScheme("https")->host, "s");
  EXPECT_EQ(list->ForScheme("HTTP")->host, "h");
  EXPECT_EQ(list->ForScheme("http")->port, 2);
  EXPECT_EQ(list->ForScheme("ftp")->host, "all");

  const std::optional<ProxyList> plainOnly = ProxyList::Parse("http=127.0.0.1");
  ASSERT_TRUE(plainOnly);
  EXPECT_EQ(plainOnly->ForScheme("http")->port, 80);
  EXPECT_EQ(plainOnly->ForScheme("https"), std::nullopt);
}

TEST(ProxyList, RefusesAListThatCannotBeUsedWhole) {
  for (const char* text : {"", " ;; ", "http=", "=h:1", "http=h:1 https=", "http=h:x", "a=b=c"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ProxyList::Parse(text).has_value(), false);
  }
}

TEST(IsBypassed, MatchesWholeHostNamesIgnoringCase) {
  EXPECT_TRUE(IsBypassed("a.lan;127.0.0.1", "127.0.0.1"));
  EXPECT_TRUE(IsBypassed(" A.Lan ", "a.lan"));
  EXPECT_FALSE(IsBypassed("a.lan", "b.a.lan"));
  EXPECT_FALSE(IsBypassed("", "h"));
}

}  // namespace
}  // namespace lumerin
