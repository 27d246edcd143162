#include "web/http_client.h"

#include <stdlib.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "gtest/gtest.h"
#include "testsupport/http/scripted_server.h"

namespace lumerin::http {
namespace {

using std::chrono::seconds;
using testsupport::ReceivedRequest;
using testsupport::Reply;
using testsupport::ScriptedServer;

constexpr std::uint32_t kPlain = kFlagReload | kFlagNeedFile | kFlagIgnoreRedirectToHttps;

ScriptedServer::Handler Always(Reply reply) {
  return [reply](const ReceivedRequest&) { return reply; };
}

ByteView AsBytes(std::string_view text) {
  return ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// What one exchange gave.
struct Outcome {
  bool sent = false;
  std::string body;
  std::optional<std::string> block;  // the raw header block
};

struct Exchange {
  int port = 0;
  std::string verb = "GET";
  std::string object = "/";
  std::string headerText;
  std::optional<std::string> body;
  std::uint32_t flags = kPlain;
  ClientLimits limits;
  std::string agent = "agent";

  Outcome Run() const {
    InternetHandle internet =
        OpenInternet(agent, kInternetOpenTypeDirect, std::nullopt, std::nullopt, limits);
    ConnectionHandle connection = Connect(internet, "127.0.0.1", port, kInternetServiceHttp);
    RequestHandle request = OpenRequest(connection, verb, object, "HTTP/1.1", flags);
    EXPECT_TRUE(request.IsOpen());
    Outcome outcome;
    outcome.sent = SendRequest(request, headerText,
                               body ? std::optional<ByteView>(AsBytes(*body)) : std::nullopt);
    std::uint8_t block[7];
    while (int got = ReadResponse(request, block)) outcome.body.append(block, block + got);
    std::vector<char> buffer(1 << 16, '#');
    if (const std::optional<int> size = QueryInfo(request, kQueryRawHeadersCrLf, buffer)) {
      EXPECT_EQ(buffer[static_cast<std::size_t>(*size)], '\0');
      outcome.block = std::string(buffer.data(), static_cast<std::size_t>(*size));
    } else {
      EXPECT_EQ(buffer, std::vector<char>(1 << 16, '#'));
    }
    return outcome;
  }
};

TEST(HttpClient, RefusesArgumentsItCannotSendSafely) {
  EXPECT_FALSE(OpenInternet("a", 2).IsOpen());
  EXPECT_FALSE(OpenInternet("a", kInternetOpenTypeProxy).IsOpen());
  for (const char* list : {"", " ; ", "http=", "=127.0.0.1:1", "http=a:b:c", "http=h:0"}) {
    SCOPED_TRACE(list);
    EXPECT_FALSE(OpenInternet("a", kInternetOpenTypeProxy, list, "").IsOpen());
  }

  const InternetHandle internet = OpenInternet("a", kInternetOpenTypeDirect);
  ASSERT_TRUE(internet.IsOpen());
  for (const char* server : {"", "a b", "u@h", "h/x", "h?x", "h:1", "[::1]", "h\r\n"}) {
    SCOPED_TRACE(server);
    EXPECT_FALSE(Connect(internet, server, 80, kInternetServiceHttp).IsOpen());
  }
  EXPECT_FALSE(Connect(internet, std::string(254, 'a'), 80, kInternetServiceHttp).IsOpen());
  EXPECT_FALSE(Connect(internet, "h", 0, kInternetServiceHttp).IsOpen());
  EXPECT_FALSE(Connect(internet, "h", 65536, kInternetServiceHttp).IsOpen());
  EXPECT_FALSE(Connect(internet, "h", 80, 1).IsOpen());
  EXPECT_FALSE(Connect(InternetHandle(), "h", 80, kInternetServiceHttp).IsOpen());

  const ConnectionHandle connection = Connect(internet, "h", 80, kInternetServiceHttp);
  ASSERT_TRUE(connection.IsOpen());
  EXPECT_TRUE(OpenRequest(connection, "GET", "/", "HTTP/1.0", 0).IsOpen());
  EXPECT_FALSE(OpenRequest(connection, "PUT", "/", "HTTP/1.1", 0).IsOpen());
  EXPECT_FALSE(OpenRequest(connection, "get", "/", "HTTP/1.1", 0).IsOpen());
  EXPECT_FALSE(OpenRequest(connection, "GET", "/", "HTTP/2", 0).IsOpen());
  for (const char* object : {"", "x", "/a b", "/a\x7F", "/a\r\nX: 1", "/\xB0\xA1"}) {
    SCOPED_TRACE(object);
    EXPECT_FALSE(OpenRequest(connection, "GET", object, "HTTP/1.1", 0).IsOpen());
  }
  EXPECT_FALSE(OpenRequest(ConnectionHandle(), "GET", "/", "HTTP/1.1", 0).IsOpen());
}

TEST(HttpClient, HandlesCanBeClosedInAnyOrderAndTwice) {
  ScriptedServer server(Always(Reply::Answer(200, "ok")));
  InternetHandle internet = OpenInternet("a", kInternetOpenTypeDirect);
  ConnectionHandle connection = Connect(internet, "127.0.0.1", server.Port(), kInternetServiceHttp);
  RequestHandle request = OpenRequest(connection, "GET", "/", "HTTP/1.1", kPlain);
  internet.Close();
  connection.Close();
  connection.Close();
  EXPECT_FALSE(internet.IsOpen());
  EXPECT_TRUE(SendRequest(request, "", std::nullopt));
  EXPECT_FALSE(SendRequest(request, "", std::nullopt));  // one send per request
  request.Close();
  request.Close();
  std::uint8_t block[4];
  EXPECT_EQ(ReadResponse(request, block), 0);
  EXPECT_FALSE(SendRequest(request, "", std::nullopt));
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(HttpClient, SendsOnlyTheLinesItIsGiven) {
  ScriptedServer server(Always(Reply::Answer(200, "ok")));
  Exchange exchange;
  exchange.port = server.Port();
  exchange.verb = "POST";
  exchange.object = "/a/../b?q=1";
  // A large body makes libcurl ask for "Expect: 100-continue" unless told not to.
  exchange.body = std::string(2 << 20, 'b');
  exchange.headerText = "Accept: a/b\r\nX-Empty:\r\nX-Tab:\tv\r\n";
  ASSERT_TRUE(exchange.Run().sent);

  const ReceivedRequest received = server.Requests().at(0);
  EXPECT_EQ(received.requestLine, "POST /a/../b?q=1 HTTP/1.1");
  EXPECT_EQ(received.headerLines,
            (std::vector<std::string>{"Host: " + server.Address(), "User-Agent: agent",
                                      "Accept: a/b", "X-Empty:", "X-Tab:\tv",
                                      "Content-Length: " + std::to_string(2 << 20)}));
  EXPECT_EQ(received.body, *exchange.body);
}

TEST(HttpClient, SendsTheAgentOnlyUpToALineBreakAndNeverWhenEmpty) {
  ScriptedServer server(Always(Reply::Answer(200, "ok")));
  Exchange exchange;
  exchange.port = server.Port();
  exchange.agent = "r\r\nUser-Agent: T";
  ASSERT_TRUE(exchange.Run().sent);
  exchange.agent = "";
  ASSERT_TRUE(exchange.Run().sent);

  const std::vector<ReceivedRequest> received = server.Requests();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].headerLines,
            (std::vector<std::string>{"Host: " + server.Address(), "User-Agent: r"}));
  EXPECT_EQ(received[1].headerLines, std::vector<std::string>{"Host: " + server.Address()});
}

TEST(HttpClient, RefusesAHeaderTextThatWouldAddLinesOfItsOwn) {
  ScriptedServer server(Always(Reply::Answer(200, "ok")));
  for (const char* headerText :
       {"X: 1\nY: 2", "X: 1\rY: 2", "X: 1\r\n\r\nGET /x HTTP/1.1", "Content-Length: 5", "X"}) {
    SCOPED_TRACE(headerText);
    Exchange exchange;
    exchange.port = server.Port();
    exchange.headerText = headerText;
    const Outcome outcome = exchange.Run();
    EXPECT_FALSE(outcome.sent);
    EXPECT_EQ(outcome.block, std::nullopt);
  }
  EXPECT_EQ(server.AcceptedConnections(), 0);
}

TEST(HttpClient, GivesTheFinalAnswersHeaderBlockWithCrLfLineEnds) {
  struct Case {
    const char* name;
    std::string answer;
    std::string block;
    std::string body;
  };
  const Case cases[] = {
      {"bare LF line ends", "HTTP/1.1 200 OK\nContent-Length: 2\n\nok",
       "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n", "ok"},
      {"an interim answer first",
       "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 201 Created\r\nContent-Length: 2\r\n\r\nok",
       "HTTP/1.1 201 Created\r\nContent-Length: 2\r\n\r\n", "ok"},
      {"trailers after a chunked body",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\nX-Trailer: t\r\n\r\n",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", "ok"},
      {"an error status", "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 3\r\n\r\nbad",
       "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 3\r\n\r\n", "bad"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedServer server(Always(Reply::Raw(c.answer)));
    Exchange exchange;
    exchange.port = server.Port();
    const Outcome outcome = exchange.Run();
    EXPECT_TRUE(outcome.sent);
    EXPECT_EQ(outcome.block, c.block);
    EXPECT_EQ(outcome.body, c.body);
  }
}

TEST(HttpClient, QueryFailsWhenTheBlockAndItsZeroDoNotFit) {
  const std::string block = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";
  ScriptedServer server(Always(Reply::Raw(block)));
  InternetHandle internet = OpenInternet("a", kInternetOpenTypeDirect);
  ConnectionHandle connection = Connect(internet, "127.0.0.1", server.Port(), kInternetServiceHttp);
  RequestHandle request = OpenRequest(connection, "GET", "/", "HTTP/1.1", kPlain);
  ASSERT_TRUE(SendRequest(request, "", std::nullopt));

  std::string tight(block.size(), '#');
  EXPECT_EQ(QueryInfo(request, kQueryRawHeadersCrLf, tight), std::nullopt);
  EXPECT_EQ(tight, std::string(block.size(), '#'));
  std::string exact(block.size() + 1, '#');
  EXPECT_EQ(QueryInfo(request, kQueryRawHeadersCrLf, exact), static_cast<int>(block.size()));
  EXPECT_EQ(exact, block + '\0');
  EXPECT_EQ(QueryInfo(request, kQueryRawHeadersCrLf + 1, exact), std::nullopt);
}

TEST(HttpClient, FailsTransfersThatStallOrStopShort) {
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n";
  const Reply replies[] = {Reply::Silence(), Reply::StallAfter(head + "12345"),
                           Reply::CloseAfter(head + "12345")};
  for (const Reply& reply : replies) {
    SCOPED_TRACE(reply.bytes);
    ScriptedServer server(Always(reply));
    Exchange exchange;
    exchange.port = server.Port();
    exchange.limits.stallTimeout = seconds(1);
    const auto start = std::chrono::steady_clock::now();
    const Outcome outcome = exchange.Run();
    EXPECT_LT(std::chrono::steady_clock::now() - start, seconds(10));
    EXPECT_FALSE(outcome.sent);
    EXPECT_EQ(outcome.body, "");
    EXPECT_EQ(outcome.block, std::nullopt);
  }
}

TEST(HttpClient, FailsABodyOverTheLimit) {
  struct Case {
    std::uint64_t bodyBytes;
    bool sent;
  };
  const Case cases[] = {{1000, true}, {1001, false}, {Reply::kEndless, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bodyBytes);
    ScriptedServer server(Always(Reply::Filler(c.bodyBytes)));
    Exchange exchange;
    exchange.port = server.Port();
    exchange.limits.maxBodyBytes = 1000;
    const Outcome outcome = exchange.Run();
    EXPECT_EQ(outcome.sent, c.sent);
    EXPECT_EQ(outcome.body, c.sent ? std::string(1000, 'x') : "");
  }
}

TEST(HttpClient, FollowsRedirectsAsBrowsersDo) {
  struct Case {
    int status;
    std::string followUp;  // method and body of the request after the redirect
  };
  const Case cases[] = {{301, "GET "}, {302, "GET "}, {303, "GET "}, {307, "POST form"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    ScriptedServer server([&c](const ReceivedRequest& request) {
      if (request.Target() == "/from") return Reply::Answer(c.status, "", {"Location: /to"});
      return Reply::Answer(200, "arrived");
    });
    Exchange exchange;
    exchange.port = server.Port();
    exchange.verb = "POST";
    exchange.object = "/from";
    exchange.body = "form";
    const Outcome outcome = exchange.Run();
    EXPECT_EQ(outcome.body, "arrived");
    const std::vector<ReceivedRequest> received = server.Requests();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1].Target(), "/to");
    EXPECT_EQ(received[1].Method() + " " + received[1].body, c.followUp);
  }
}

TEST(HttpClient, StopsAfterTenRedirects) {
  ScriptedServer server([](const ReceivedRequest& request) {
    const int hop = std::stoi(request.Target().substr(1));
    if (hop == 0) return Reply::Answer(200, "end");
    return Reply::Answer(302, "", {"Location: /" + std::to_string(hop - 1)});
  });
  Exchange exchange;
  exchange.port = server.Port();
  exchange.object = "/10";
  EXPECT_EQ(exchange.Run().body, "end");
  exchange.object = "/11";
  const Outcome outcome = exchange.Run();
  EXPECT_FALSE(outcome.sent);
  EXPECT_EQ(outcome.body, "");
}

TEST(HttpClient, FollowsARedirectToHttpsOnlyWithItsFlag) {
  // The secure side only counts connections: the TLS handshake it receives
  // never completes, so the request fails either way.
  ScriptedServer secure(Always(Reply::Silence()));
  ScriptedServer plain(Always(Reply::Answer(
      302, "", {"Location: https://127.0.0.1:" + std::to_string(secure.Port()) + "/"})));
  Exchange exchange;
  exchange.port = plain.Port();
  exchange.limits.connectTimeout = std::chrono::milliseconds(500);
  exchange.flags = kFlagReload;
  EXPECT_FALSE(exchange.Run().sent);
  EXPECT_EQ(secure.AcceptedConnections(), 0);
  exchange.flags = kPlain;
  EXPECT_FALSE(exchange.Run().sent);
  EXPECT_EQ(secure.AcceptedConnections(), 1);
}

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnvironment() { unsetenv(name_); }

 private:
  const char* name_;
};

TEST(HttpClient, GoesDirectWhateverTheEnvironmentSays) {
  ScriptedServer proxy(Always(Reply::Answer(200, "proxy")));
  ScriptedServer server(Always(Reply::Answer(200, "server")));
  const ScopedEnvironment lower("http_proxy", proxy.BaseUrl());
  const ScopedEnvironment upper("HTTP_PROXY", proxy.BaseUrl());
  const ScopedEnvironment all("ALL_PROXY", proxy.BaseUrl());
  Exchange exchange;
  exchange.port = server.Port();
  EXPECT_EQ(exchange.Run().body, "server");
  EXPECT_EQ(proxy.AcceptedConnections(), 0);
}

TEST(HttpClient, ChoosesTheProxyBySchemeAndBypassList) {
  ScriptedServer proxy(Always(Reply::Answer(200, "proxy")));
  ScriptedServer server(Always(Reply::Answer(200, "server")));
  const ScopedEnvironment noProxy("no_proxy", "*");
  auto run = [&](const std::string& list, const std::string& bypass) -> std::optional<std::string> {
    InternetHandle internet = OpenInternet("a", kInternetOpenTypeProxy, list, bypass);
    ConnectionHandle connection =
        Connect(internet, "127.0.0.1", server.Port(), kInternetServiceHttp);
    RequestHandle request = OpenRequest(connection, "GET", "/", "HTTP/1.1", kPlain);
    if (!request.IsOpen()) return std::nullopt;
    SendRequest(request, "", std::nullopt);
    std::uint8_t block[64];
    return std::string(block, block + ReadResponse(request, block));
  };
  const std::string address = proxy.Address();
  EXPECT_EQ(run("http=" + address, ""), "proxy");
  EXPECT_EQ(run(address, ""), "proxy");
  EXPECT_EQ(run("https=127.0.0.1:1;http=" + address, ""), "proxy");
  EXPECT_EQ(run("http=" + address, "other 127.0.0.1"), "server");
  EXPECT_EQ(run("https=" + address, ""), std::nullopt);
  EXPECT_EQ(proxy.Requests().size(), 3u);
  EXPECT_EQ(proxy.Requests()[0].Target(), server.BaseUrl() + "/");
}

TEST(HttpClient, ServesRequestsFromSeveralThreadsAtOnce) {
  ScriptedServer server([](const ReceivedRequest& request) {
    return Reply::Answer(200, request.body, {"Set-Cookie: t=1; Path=/threads"});
  });
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 25; ++i) {
        Exchange exchange;
        exchange.port = server.Port();
        exchange.verb = "POST";
        exchange.object = "/threads/" + std::to_string(t);
        exchange.body = std::to_string(t * 100 + i);
        if (exchange.Run().body != *exchange.body) ++failures[static_cast<std::size_t>(t)];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));
  EXPECT_EQ(server.Requests().size(), 100u);
  EXPECT_LE(server.AcceptedConnections(), 4);
}

}  // namespace
}  // namespace lumerin::http
