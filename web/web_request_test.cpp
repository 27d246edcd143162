#include "web/web_request.h"

#include <mutex>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "testsupport/http/httplib_server.h"
#include "testsupport/http/scripted_server.h"
#include "text/text_convert.h"
#include "web/ascii_case.h"

namespace lumerin {
namespace {

using testsupport::HttplibServer;
using testsupport::ReceivedRequest;
using testsupport::Reply;
using testsupport::ScriptedServer;

const std::string kBlankHeaders(kRawHeaderBufferSize, ' ');

std::string AsString(const ByteArray& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A server that answers every request with `reply`.
ScriptedServer::Handler Always(Reply reply) {
  return [reply](const ReceivedRequest&) { return reply; };
}

// The header lines of `request` named `name`, ASCII case ignored.
std::vector<std::string> LinesNamed(const ReceivedRequest& request, std::string_view name) {
  std::vector<std::string> lines;
  for (const std::string& line : request.headerLines) {
    if (EqualsIgnoringAsciiCase(line.substr(0, line.find(':')), name)) {
      lines.push_back(line);
    }
  }
  return lines;
}

TEST(WebRequest, SendsTheLivePathRequestExactly) {
  const std::string answer = "{\"tinyurl\":\"http:\\/\\/h\\/Ab3dE\",\"status\":0}";
  ScriptedServer server(Always(Reply::Answer(200, answer)));
  WebRequestParameters request;
  request.url = server.BaseUrl() + "/create.php";
  request.method = 1;
  request.postText = "url=http://txt1?4F2A&alias=&access_type=web";

  EXPECT_EQ(AsString(WebRequest(request)), answer);

  const std::string headerText = "Referer: " + request.url +
                                 "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
                                 "Content-Type: application/x-www-form-urlencoded";
  const std::vector<ReceivedRequest> received = server.Requests();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].raw,
            "POST /create.php HTTP/1.1\r\n"
            "Host: " +
                server.Address() +
                "\r\n"
                "User-Agent: " +
                kDefaultUserAgent + "\r\n" + headerText +
                "\r\n"
                "Content-Length: " +
                std::to_string(request.postText.size()) +
                "\r\n"
                "\r\n" +
                request.postText);
  EXPECT_EQ(request.extraHeaders, headerText);
  EXPECT_EQ(request.postBytes, TextToBytes(request.postText));
  const std::string block =
      "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(answer.size()) + "\r\n\r\n";
  EXPECT_EQ(request.rawHeaders, block);
  EXPECT_EQ(request.location, block);
  EXPECT_EQ(request.newCookies, "");
}

TEST(WebRequest, SendsABodyWheneverTheMethodIsNotZero) {
  struct Case {
    const char* name;
    int method;
    std::string postText;
    std::string postBytes;
    std::string expectedMethod;
    std::optional<std::string> expectedBody;  // nullopt: no body, no Content-Length
    std::string postBytesAfter;
  };
  const Case cases[] = {
      {"method 0 sends no body", 0, "text", "bytes", "GET", std::nullopt, "bytes"},
      {"method 2 sends GET with a body", 2, "text", "", "GET", "text", "text"},
      {"an empty POST body", 1, "", "", "POST", "", ""},
      {"postBytes over postText", 1, "text", std::string("b\0b", 3), "POST", std::string("b\0b", 3),
       std::string("b\0b", 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedServer server(Always(Reply::Answer(200, "ok")));
    WebRequestParameters request;
    request.url = server.BaseUrl() + "/m";
    request.method = c.method;
    request.postText = c.postText;
    request.postBytes = ByteArray(c.postBytes.begin(), c.postBytes.end());

    EXPECT_EQ(AsString(WebRequest(request)), "ok");

    ASSERT_EQ(server.Requests().size(), 1u);
    const ReceivedRequest received = server.Requests()[0];
    EXPECT_EQ(received.Method(), c.expectedMethod);
    if (c.expectedBody) {
      EXPECT_EQ(received.Header("Content-Length"), std::to_string(c.expectedBody->size()));
      EXPECT_EQ(received.body, *c.expectedBody);
    } else {
      EXPECT_EQ(received.Header("Content-Length"), std::nullopt);
      EXPECT_TRUE(received.raw.ends_with("\r\n\r\n"));
    }
    EXPECT_EQ(AsString(request.postBytes), c.postBytesAfter);
  }
}

TEST(WebRequest, CompletesTheHeaderTextWithTheMissingDefaultLines) {
  struct Case {
    std::string extraHeaders;
    // The lines expected after Host, in order; "URL" stands for the url.
    std::vector<std::string> lines;
  };
  const std::string defaults[] = {"Accept: */*", "Accept-Language: zh-cn",
                                  "Content-Type: application/x-www-form-urlencoded"};
  const Case cases[] = {
      // The agent comes from the header text and its line is sent once.
      {"User-Agent: Tester",
       {"User-Agent: Tester", "Referer: URL", defaults[0], defaults[1], defaults[2]}},
      {"Referer: r\r\nUser-Agent: T",
       {"Referer: r", "User-Agent: T", defaults[0], defaults[1], defaults[2]}},
      {"user-agent: low",
       {"user-agent: low", "Referer: URL", defaults[0], defaults[1], defaults[2]}},
      // The default lines are tested with exact case, anywhere in the text.
      {"Referer: x",
       {"User-Agent: " + std::string(kDefaultUserAgent), "Referer: x", defaults[0], defaults[1],
        defaults[2]}},
      {"referer: x",
       {"User-Agent: " + std::string(kDefaultUserAgent), "referer: x", "Referer: URL", defaults[0],
        defaults[1], defaults[2]}},
      {"X-Accept: y",
       {"User-Agent: " + std::string(kDefaultUserAgent), "X-Accept: y", "Referer: URL", defaults[1],
        defaults[2]}},
      {"Accept: text/html\r\nContent-Type: text/plain",
       {"User-Agent: " + std::string(kDefaultUserAgent), "Accept: text/html",
        "Content-Type: text/plain", "Referer: URL", defaults[1]}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.extraHeaders);
    ScriptedServer server(Always(Reply::Answer(200, "ok")));
    WebRequestParameters request;
    request.url = server.BaseUrl() + "/h";
    request.extraHeaders = c.extraHeaders;

    EXPECT_EQ(AsString(WebRequest(request)), "ok");

    ASSERT_EQ(server.Requests().size(), 1u);
    std::vector<std::string> expected = {"Host: " + server.Address()};
    std::string expectedText;
    for (std::string line : c.lines) {
      if (line == "Referer: URL") line = "Referer: " + request.url;
      expected.push_back(line);
      if (!line.starts_with("User-Agent: Mozilla")) {
        expectedText += (expectedText.empty() ? "" : "\r\n") + line;
      }
    }
    EXPECT_EQ(server.Requests()[0].headerLines, expected);
    EXPECT_EQ(request.extraHeaders, expectedText);
  }
}

TEST(WebRequest, TakesTheCookiesAnAnswerSetsIntoTheProcessStore) {
  // The cookies are set for /store only, so they reach no other test.
  ScriptedServer server([](const ReceivedRequest& request) {
    if (request.Target() == "/store/set") {
      return Reply::Answer(200, "set",
                           {"Set-Cookie: a=1; Path=/store", "Set-Cookie: b=2; HttpOnly"});
    }
    return Reply::Answer(200, "next");
  });
  WebRequestParameters first;
  first.url = server.BaseUrl() + "/store/set";
  EXPECT_EQ(AsString(WebRequest(first)), "set");
  EXPECT_EQ(first.newCookies, "a=1; b=2");

  WebRequestParameters withStore;
  withStore.url = server.BaseUrl() + "/store/next";
  EXPECT_EQ(AsString(WebRequest(withStore)), "next");
  WebRequestParameters withoutStore;
  withoutStore.url = server.BaseUrl() + "/store/next";
  withoutStore.cookieList = "";
  EXPECT_EQ(AsString(WebRequest(withoutStore)), "next");

  const std::vector<ReceivedRequest> received = server.Requests();
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(LinesNamed(received[0], "Cookie"), std::vector<std::string>{});
  const std::optional<std::string> sent = received[1].Header("Cookie");
  ASSERT_TRUE(sent);
  EXPECT_NE(sent->find("a=1"), std::string::npos);
  EXPECT_NE(sent->find("b=2"), std::string::npos);
  EXPECT_EQ(LinesNamed(received[2], "Cookie"), std::vector<std::string>{});
  EXPECT_EQ(withoutStore.cookieList, "");
}

TEST(WebRequest, KeepsACallersCookieListOutOfTheProcessStore) {
  ScriptedServer server([](const ReceivedRequest& request) {
    if (request.Target() == "/list/set") {
      return Reply::Answer(200, "set",
                           {"Set-Cookie: b=2; Path=/list", "Set-Cookie: gone=deleted; path=/"});
    }
    return Reply::Answer(200, "next");
  });
  WebRequestParameters first;
  first.url = server.BaseUrl() + "/list/set";
  first.cookieList = "old=1; b=0; gone=7";
  EXPECT_EQ(AsString(WebRequest(first)), "set");
  EXPECT_EQ(first.cookieList, "b=2; old=1");
  EXPECT_EQ(first.newCookies, "b=2;gone=deleted");

  WebRequestParameters second;
  second.url = server.BaseUrl() + "/list/next";
  second.cookieList = first.cookieList;
  EXPECT_EQ(AsString(WebRequest(second)), "next");
  // Without a list the process store is used, and it never saw those cookies.
  WebRequestParameters third;
  third.url = server.BaseUrl() + "/list/next";
  EXPECT_EQ(AsString(WebRequest(third)), "next");

  const std::vector<ReceivedRequest> received = server.Requests();
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(LinesNamed(received[0], "Cookie"),
            std::vector<std::string>{"Cookie: old=1; b=0; gone=7"});
  EXPECT_EQ(received[1].headerLines.back(), "Cookie: b=2; old=1");
  EXPECT_EQ(LinesNamed(received[2], "Cookie"), std::vector<std::string>{});
}

TEST(WebRequest, FollowsARedirectUnlessAskedNotTo) {
  std::vector<std::string> seen;  // method, path and body of each request
  std::mutex mutex;
  HttplibServer server([&](httplib::Server& routes) {
    routes.Post("/start", [&](const httplib::Request& in, httplib::Response& out) {
      std::lock_guard<std::mutex> lock(mutex);
      seen.push_back("POST /start " + in.body);
      out.set_redirect("/final", 302);
      out.set_content("moved", "text/plain");
    });
    routes.Get("/final", [&](const httplib::Request& in, httplib::Response& out) {
      std::lock_guard<std::mutex> lock(mutex);
      seen.push_back("GET /final " + in.body);
      out.set_content("done", "text/plain");
    });
  });
  WebRequestParameters followed;
  followed.url = server.BaseUrl() + "/start";
  followed.method = 1;
  followed.postText = "x=1";
  EXPECT_EQ(AsString(WebRequest(followed)), "done");
  EXPECT_EQ(seen, (std::vector<std::string>{"POST /start x=1", "GET /final "}));
  EXPECT_TRUE(followed.rawHeaders.starts_with("HTTP/1.1 200 OK\r\n"));
  EXPECT_EQ(followed.location, followed.rawHeaders);

  seen.clear();
  WebRequestParameters returned = followed;
  returned.extraHeaders.clear();
  returned.location.clear();
  returned.noRedirect = true;
  EXPECT_EQ(AsString(WebRequest(returned)), "moved");
  EXPECT_EQ(seen, (std::vector<std::string>{"POST /start x=1"}));
  EXPECT_TRUE(returned.rawHeaders.starts_with("HTTP/1.1 302 Found\r\n"));
  EXPECT_EQ(returned.location, "/final");
}

TEST(WebRequest, KeepsTheRawHeadersOnlyWhenTheyFitTheBuffer) {
  // A block of exactly 4999 bytes fits with its terminating zero; 5000 do not.
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\nX-Pad: ";
  const std::size_t padFor4999 = 4999 - head.size() - 4;
  for (std::size_t pad : {padFor4999, padFor4999 + 1}) {
    SCOPED_TRACE(pad);
    const std::string block = head + std::string(pad, 'p') + "\r\n\r\n";
    ScriptedServer server(Always(Reply::Raw(block + "body")));
    WebRequestParameters request;
    request.url = server.BaseUrl() + "/big";
    EXPECT_EQ(AsString(WebRequest(request)), "body");
    const bool fits = block.size() < kRawHeaderBufferSize;
    EXPECT_EQ(request.rawHeaders, fits ? block : kBlankHeaders);
    EXPECT_EQ(request.location, fits ? block : kBlankHeaders);
  }
}

TEST(WebRequest, KeepsACallersLocationWhenTheAnswerNamesNone) {
  ScriptedServer server(Always(Reply::Answer(200, "ok")));
  WebRequestParameters request;
  request.url = server.BaseUrl() + "/";
  request.location = "kept";
  EXPECT_EQ(AsString(WebRequest(request)), "ok");
  EXPECT_EQ(request.location, "kept");
}

TEST(WebRequest, SendsTheRequestToAProxyWhenOneIsPresent) {
  ScriptedServer proxy(Always(Reply::Answer(200, "via proxy")));
  WebRequestParameters request;
  // The proxy is asked for a host that does not resolve; the client does not
  // need to resolve it.
  request.url = "http://service.invalid:7312/create.php";
  request.method = 1;
  request.postText = "url=x";
  request.proxy = proxy.Address();

  EXPECT_EQ(AsString(WebRequest(request)), "via proxy");

  ASSERT_EQ(proxy.Requests().size(), 1u);
  const ReceivedRequest received = proxy.Requests()[0];
  EXPECT_EQ(received.requestLine, "POST http://service.invalid:7312/create.php HTTP/1.1");
  EXPECT_EQ(received.Header("Host"), "service.invalid:7312");
  EXPECT_EQ(LinesNamed(received, "Proxy-Connection"), std::vector<std::string>{});
  EXPECT_EQ(received.body, "url=x");
}

TEST(WebRequest, RefusesAnUnusableProxyInsteadOfGoingDirect) {
  ScriptedServer server(Always(Reply::Answer(200, "direct")));
  for (const std::string proxy : {"", "bad/host", "127.0.0.1:0", "127.0.0.1:x", "http=:"}) {
    SCOPED_TRACE(proxy);
    WebRequestParameters request;
    request.url = server.BaseUrl() + "/";
    request.proxy = proxy;
    request.rawHeaders = "as passed";
    EXPECT_EQ(AsString(WebRequest(request)), "");
    EXPECT_EQ(request.rawHeaders, "as passed");
    EXPECT_EQ(request.extraHeaders, "");
  }
  EXPECT_EQ(server.AcceptedConnections(), 0);
}

TEST(WebRequest, GivesTheFailureResultsWhenTheServerIsDown) {
  WebRequestParameters request;
  request.url = "http://127.0.0.1:" + std::to_string(testsupport::ClosedLoopbackPort()) + "/x";
  request.method = 1;
  request.postText = "a=b";
  request.cookieList = "c=1; c=2";
  request.newCookies = "stale";

  EXPECT_EQ(AsString(WebRequest(request)), "");
  EXPECT_EQ(request.rawHeaders, kBlankHeaders);
  EXPECT_EQ(request.location, kBlankHeaders);
  EXPECT_EQ(request.newCookies, "");
  EXPECT_EQ(request.cookieList, "c=1");
  EXPECT_EQ(request.postBytes, TextToBytes("a=b"));
  EXPECT_TRUE(request.extraHeaders.ends_with("\r\nCookie: c=1; c=2"));
}

TEST(WebRequest, GivesAnEmptyBodyForAnAnswerOverTheSizeLimit) {
  ScriptedServer server(Always(Reply::Filler(std::uint64_t{20} << 20)));
  WebRequestParameters request;
  request.url = server.BaseUrl() + "/huge";
  EXPECT_EQ(AsString(WebRequest(request)), "");
  EXPECT_EQ(request.rawHeaders, kBlankHeaders);
}

TEST(WebRequest, ReusesOneConnectionForConsecutiveRequests) {
  ScriptedServer server(Always(Reply::Answer(200, "{\"status\":0}")));
  for (int i = 0; i < 151; ++i) {
    WebRequestParameters request;
    request.url = server.BaseUrl() + "/create.php";
    request.method = 1;
    request.postText = "url=" + std::to_string(i);
    ASSERT_EQ(AsString(WebRequest(request)), "{\"status\":0}") << i;
  }
  EXPECT_EQ(server.Requests().size(), 151u);
  EXPECT_EQ(server.AcceptedConnections(), 1);
}

TEST(WebRequest, RefusesMalformedUrlsBeforeSendingAnything) {
  ScriptedServer server(Always(Reply::Answer(200, "ok")));
  const std::string port = std::to_string(server.Port());
  const std::string urls[] = {
      "ftp://127.0.0.1:" + port + "/a",     // host "ftp", port 0
      "http://user:pw@127.0.0.1/",          // host "user", port 0
      "http:///a",                          // empty host
      "http://:" + port + "/a",             // empty host with a port
      "http://127.0.0.1:abc/",              // port 0
      "http://127.0.0.1:99999/",            // port out of range
      "http://127.0.0.1 x:" + port + "/",   // a space in the host
      "http://127.0.0.1:" + port + "/a b",  // a space in the object
      "http://127.0.0.1:" + port + "/a\r\nX-Injected: 1",
      "",
  };
  for (const std::string& url : urls) {
    SCOPED_TRACE(url);
    WebRequestParameters request;
    request.url = url;
    request.method = 1;
    request.postText = "p";
    EXPECT_EQ(AsString(WebRequest(request)), "");
    EXPECT_EQ(request.extraHeaders, "");
    EXPECT_EQ(request.rawHeaders, "");
    EXPECT_EQ(request.location, "");
    EXPECT_TRUE(request.postBytes.empty());
  }
  EXPECT_EQ(server.AcceptedConnections(), 0);
}

TEST(WebRequest, ReadsUrlsThatAreOddButUsable) {
  ScriptedServer server(Always(Reply::Answer(200, "ok")));
  const std::string address = server.Address();
  struct Case {
    std::string url;
    std::string target;
  };
  const Case cases[] = {
      {address + "/noscheme", "/noscheme"},
      {"HTTP://" + address + "/Upper", "/Upper"},
      // The query glued to the port: the port reads up to the "?", the object is "/".
      {"http://" + address + "?x=1", "/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    WebRequestParameters request;
    request.url = c.url;
    EXPECT_EQ(AsString(WebRequest(request)), "ok");
    EXPECT_EQ(server.Requests().back().Target(), c.target);
  }
}

TEST(WebRequest, SendsNothingForAHeaderTextWithABareLineBreak) {
  ScriptedServer server(Always(Reply::Answer(200, "ok")));
  for (const std::string headers :
       {"X-A: 1\nX-B: 2", "X-A: 1\rX-B: 2", "X-A: 1\r\n\r\nGET /smuggled HTTP/1.1", "no colon"}) {
    SCOPED_TRACE(headers);
    WebRequestParameters request;
    request.url = server.BaseUrl() + "/";
    request.extraHeaders = headers;
    EXPECT_EQ(AsString(WebRequest(request)), "");
    EXPECT_EQ(request.rawHeaders, kBlankHeaders);
  }
  EXPECT_EQ(server.Requests().size(), 0u);
}

TEST(WebRequest, GivesAnEmptyBodyForMalformedAnswers) {
  const std::string answers[] = {
      "HTTP/1.1 abc\r\n\r\nbody",
      "garbage\r\n\r\nbody",
      "HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nbody",
      "HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nbody",
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nbody",
  };
  for (const std::string& answer : answers) {
    SCOPED_TRACE(answer);
    ScriptedServer server(Always(Reply::CloseAfter(answer)));
    WebRequestParameters request;
    request.url = server.BaseUrl() + "/";
    EXPECT_EQ(AsString(WebRequest(request)), "");
    EXPECT_EQ(request.rawHeaders, kBlankHeaders);
  }
}

TEST(WebRequest, GivesAnEmptyBodyForAnAnswerCutShort) {
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n";
  for (const std::string& answer : {std::string(), head, head + "12345"}) {
    SCOPED_TRACE(answer);
    ScriptedServer server(Always(Reply::CloseAfter(answer)));
    WebRequestParameters request;
    request.url = server.BaseUrl() + "/";
    EXPECT_EQ(AsString(WebRequest(request)), "");
    EXPECT_EQ(request.rawHeaders, kBlankHeaders);
  }
}

TEST(ScanRawHeaders, TakesTheLocationAndTheCookies) {
  struct Case {
    std::string rawHeaders;
    std::string locationIn;
    std::string location;
    std::string newCookies;
  };
  const std::string redirect = "HTTP/1.1 302 Found\r\nLocation: /next?id=7\r\n\r\n";
  const Case cases[] = {
      {redirect, "", "/next?id=7", ""},
      {redirect, "old", "/next?id=7", ""},
      // The last matching line wins; Content-Location matches too.
      {"HTTP/1.1 200 OK\r\nLocation: /a\r\nContent-Location: /b\r\n\r\n", "", "/b", ""},
      {"HTTP/1.1 200 OK\r\nX: 1\r\n\r\n", "", "HTTP/1.1 200 OK\r\nX: 1\r\n\r\n", ""},
      {"HTTP/1.1 200 OK\r\nX: 1\r\n\r\n", "kept", "kept", ""},
      {"HTTP/1.1 200 OK\r\nLocation:\r\n\r\n", "", "HTTP/1.1 200 OK\r\nLocation:\r\n\r\n", ""},
      {"HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2; HttpOnly\r\n\r\n", "x", "x",
       "a=1; b=2"},
      // A cookie without attributes has no ";" to end its value.
      {"HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\n\r\n", "x", "x", ""},
      {"HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nSet-Cookie: b=2;\r\n\r\n", "x", "x", "; b=2"},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rawHeaders);
    WebRequestParameters request;
    request.rawHeaders = c.rawHeaders;
    request.location = c.locationIn;
    request.newCookies = "stale";
    ScanRawHeaders(request);
    EXPECT_EQ(request.location, c.location);
    EXPECT_EQ(request.newCookies, c.newCookies);
    EXPECT_EQ(request.cookieList, std::nullopt);
  }
}

TEST(ScanRawHeaders, MergesIntoAPresentCookieList) {
  WebRequestParameters request;
  request.rawHeaders =
      "HTTP/1.1 200 OK\r\nSet-Cookie: b=5; path=/\r\nSet-Cookie: d=deleted; path=/\r\n\r\n";
  request.location = "x";
  request.cookieList = "a=1; b=2; d=4";
  ScanRawHeaders(request);
  EXPECT_EQ(request.cookieList, "b=5; a=1");
  EXPECT_EQ(request.newCookies, "b=5;d=deleted");

  WebRequestParameters empty;
  empty.rawHeaders = "HTTP/1.1 200 OK\r\nSet-Cookie: s=1; path=/\r\n\r\n";
  empty.cookieList = "";
  ScanRawHeaders(empty);
  EXPECT_EQ(empty.cookieList, "s=1");
}

}  // namespace
}  // namespace lumerin
