#include "web/url_parts.h"

#include <string>

#include "gtest/gtest.h"

namespace lumerin {
namespace {

// A host of three labels, and the same in capitals.
const std::string kHost = "ab1.cd2.ef3";
const std::string kHostCapitals = "AB1.CD2.EF3";

struct UrlCase {
  std::string url;
  std::string host;
  std::string hostWithPort;
  int port;
  std::string path;
};

TEST(UrlParts, CutsUrlsIntoHostPortAndPath) {
  const UrlCase cases[] = {
      {"http://" + kHost + "/p/q?x=1", kHost, kHost, 80, "/p/q?x=1"},
      {"http://" + kHost + ":8080/p?x=1", kHost, kHost + ":8080", 8080, "/p?x=1"},
      {"https://" + kHost + "/a", kHost, kHost, 443, "/a"},
      {"https://" + kHost + ":8443/a", kHost, kHost + ":8443", 8443, "/a"},
      {kHost + "/a", kHost, kHost, 80, "/a"},
      {"http://" + kHost, kHost, kHost, 80, "/"},
      {"HTTP://" + kHostCapitals + "/Path", kHost, kHost, 80, "/Path"},
      {"HTTPS://" + kHost + "/a", kHost, kHost, 443, "/a"},
      {"http://127.0.0.1:7312/create.php", "127.0.0.1", "127.0.0.1:7312", 7312, "/create.php"},
  };
  for (const UrlCase& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(UrlHost(c.url), c.host);
    EXPECT_EQ(UrlHost(c.url, false, true), c.hostWithPort);
    EXPECT_EQ(UrlPort(c.url), c.port);
    EXPECT_EQ(UrlPath(c.url), c.path);
  }
}

TEST(UrlParts, GivesMalformedPiecesForMalformedUrls) {
  const UrlCase cases[] = {
      // A query right after the host belongs to the host.
      {"http://" + kHost + "?x=1", kHost + "?x=1", kHost + "?x=1", 80, "/"},
      // A user name is taken for the host; the port is read from the password.
      {"http://user:pw@" + kHost + "/a", "user", "user:pw@" + kHost, 0, "/a"},
      {"http://user:123x@" + kHost + "/a", "user", "user:123x@" + kHost, 123, "/a"},
      // A colon without digits after it.
      {kHost + ":", kHost, kHost + ":", 0, "/"},
      {"http://" + kHost + ":abc/a", kHost, kHost + ":abc", 0, "/a"},
      // A host that also occurs inside the scheme: the path starts at "//".
      {"http://p/a", "p", "p", 80, "//p/a"},
      {"http://t", "t", "t", 80, "//t"},
      // Another scheme reads as a host named after it.
      {"ftp://" + kHost + "/a", "ftp", "ftp:", 0, "//" + kHost + "/a"},
      // No host at all: the empty host is found at the start.
      {"http:///a", "", "", 80, "///a"},
      {"", "", "", 80, "/"},
  };
  for (const UrlCase& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(UrlHost(c.url), c.host);
    EXPECT_EQ(UrlHost(c.url, false, true), c.hostWithPort);
    EXPECT_EQ(UrlPort(c.url), c.port);
    EXPECT_EQ(UrlPath(c.url), c.path);
  }
}

TEST(UrlHost, ReducesToTheRootDomain) {
  EXPECT_EQ(UrlHost("http://" + kHost + "/p/q?x=1", true), "cd2.ef3");
  EXPECT_EQ(UrlHost("http://localhost/", true), "localhost");
  EXPECT_EQ(UrlHost("http://a.b.c:8080/", true), "b.c");
  EXPECT_EQ(UrlHost("http://a.b.c:8080/", true, true), "b.c:8080");
}

TEST(UrlHost, ReducesByLevelsWhenTheyArePresent) {
  struct LevelCase {
    std::string url;
    bool rootDomain;
    int levels;
    std::string host;
  };
  const LevelCase cases[] = {
      {"http://a.b.c.d/x", false, 0, "c.d"},
      {"http://a.b.c.d/x", false, 1, "b.c.d"},
      {"http://a.b.c.d/x", true, 0, "d"},
      {"http://a.b.c.d/x", true, 1, "c.d"},
      {"http://a.b.c.d/x", false, 5, "a.b.c.d"},
      {"http://a.b.c.d/x", false, -3, "c.d"},
      {"HTTPS://X.Y.Z:8080/p", false, 0, "y.z"},
      // Every scheme prefix goes, wherever it stands.
      {"a.http://b.c", false, 1, "a.b.c"},
  };
  for (const LevelCase& c : cases) {
    SCOPED_TRACE(c.url + " levels " + std::to_string(c.levels));
    EXPECT_EQ(UrlHost(c.url, c.rootDomain, false, c.levels), c.host);
  }
  EXPECT_EQ(UrlHost("HTTPS://X.Y.Z:8080/p", false, true, 0), "y.z:8080");
}

}  // namespace
}  // namespace lumerin
