#include "testsupport/http/scripted_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "gtest/gtest.h"

namespace lumerin::testsupport {
namespace {

using std::chrono::milliseconds;

// A blocking TCP client on loopback, enough to talk to the server by hand.
class RawClient {
 public:
  explicit RawClient(int port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~RawClient() { close(fd_); }

  [[nodiscard]] bool Connected() const { return connected_; }

  void Send(std::string_view bytes) {
    ASSERT_EQ(send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
  }

  // Reads until `count` bytes have come, the server closes, or nothing
  // arrives for `quiet`.
  std::string Receive(std::size_t count, milliseconds quiet = milliseconds(2000)) {
    std::string got;
    while (got.size() < count) {
      if (!WaitReadable(quiet)) break;
      char buffer[65536];
      const ssize_t n = recv(fd_, buffer, std::min(sizeof buffer, count - got.size()), 0);
      if (n <= 0) {
        closedByPeer_ = true;
        break;
      }
      got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }

  // True once a Receive has seen the server close the connection.
  [[nodiscard]] bool ClosedByPeer() const { return closedByPeer_; }

 private:
  bool WaitReadable(milliseconds quiet) {
    pollfd pfd{fd_, POLLIN, 0};
    return poll(&pfd, 1, static_cast<int>(quiet.count())) == 1;
  }

  int fd_;
  bool connected_ = false;
  bool closedByPeer_ = false;
};

TEST(ScriptedServer, RecordsEachRequestOfAKeptAliveConnection) {
  ScriptedServer server(
      [](const ReceivedRequest& request) { return Reply::Answer(200, "got " + request.body); });
  RawClient client(server.Port());
  ASSERT_TRUE(client.Connected());
  const std::string first = "POST /create.php HTTP/1.1\r\nHost: h\r\ncontent-LENGTH: 3\r\n\r\nabc";
  const std::string second = "GET /q?x=1 HTTP/1.1\r\nHost: h\r\n\r\n";
  client.Send(first);
  const std::string firstAnswer = "HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\ngot abc";
  EXPECT_EQ(client.Receive(firstAnswer.size()), firstAnswer);
  client.Send(second);
  const std::string secondAnswer = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\ngot ";
  EXPECT_EQ(client.Receive(secondAnswer.size()), secondAnswer);

  EXPECT_EQ(server.AcceptedConnections(), 1);
  const std::vector<ReceivedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].raw, first);
  EXPECT_EQ(requests[0].requestLine, "POST /create.php HTTP/1.1");
  EXPECT_EQ(requests[0].Method(), "POST");
  EXPECT_EQ(requests[0].Target(), "/create.php");
  EXPECT_EQ(requests[0].headerLines, (std::vector<std::string>{"Host: h", "content-LENGTH: 3"}));
  EXPECT_EQ(requests[0].Header("Content-Length"), "3");
  EXPECT_EQ(requests[0].Header("Cookie"), std::nullopt);
  EXPECT_EQ(requests[0].body, "abc");
  EXPECT_EQ(requests[1].raw, second);
  EXPECT_EQ(requests[1].Target(), "/q?x=1");
  EXPECT_EQ(requests[1].body, "");
  EXPECT_EQ(requests[1].connection, 1);
}

TEST(ScriptedServer, CountsEveryAcceptedConnection) {
  ScriptedServer server([](const ReceivedRequest&) { return Reply::Answer(204, ""); });
  for (int i = 0; i < 3; ++i) {
    RawClient client(server.Port());
    client.Send("GET / HTTP/1.1\r\n\r\n");
    EXPECT_FALSE(client.Receive(1).empty());
  }
  EXPECT_EQ(server.AcceptedConnections(), 3);
  EXPECT_EQ(server.Requests().back().connection, 3);
}

TEST(ScriptedServer, CarriesOutEachKindOfReply) {
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n";
  struct Case {
    const char* name;
    Reply reply;
    std::string expected;
    bool closes;  // whether the server then closes the connection
  };
  const Case cases[] = {
      {"answer keeps the connection", Reply::Answer(302, "", {"Location: /b"}),
       "HTTP/1.1 302 Found\r\nLocation: /b\r\nContent-Length: 0\r\n\r\n", false},
      {"raw bytes as they are", Reply::Raw("HTTP/1.1 2xx\n\n"), "HTTP/1.1 2xx\n\n", false},
      {"close after half a body", Reply::CloseAfter(head + "12345"), head + "12345", true},
      {"stall after half a body", Reply::StallAfter(head + "123"), head + "123", false},
      {"silence", Reply::Silence(), "", false},
      {"filler", Reply::Filler(5), "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nxxxxx", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedServer server([&c](const ReceivedRequest&) { return c.reply; });
    RawClient client(server.Port());
    client.Send("GET / HTTP/1.1\r\n\r\n");
    // Ask for one byte more than expected: the read ends on close or quiet.
    EXPECT_EQ(client.Receive(c.expected.size() + 1, milliseconds(300)), c.expected);
    EXPECT_EQ(client.ClosedByPeer(), c.closes);
  }
}

TEST(ScriptedServer, StreamsAnEndlessBodyUntilTheClientLeaves) {
  ScriptedServer server([](const ReceivedRequest&) { return Reply::Filler(Reply::kEndless); });
  {
    RawClient client(server.Port());
    client.Send("GET / HTTP/1.1\r\n\r\n");
    const std::string head = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n";
    const std::string got = client.Receive(head.size() + (8u << 20));
    ASSERT_EQ(got.size(), head.size() + (8u << 20));
    EXPECT_EQ(got.substr(0, head.size()), head);
    EXPECT_EQ(got.find_first_not_of('x', head.size()), std::string::npos);
  }
  // The server notices the client is gone and Stop() does not hang.
  server.Stop();
}

TEST(ScriptedServer, StopEndsStalledConnections) {
  ScriptedServer server([](const ReceivedRequest&) { return Reply::Silence(); });
  RawClient client(server.Port());
  client.Send("GET / HTTP/1.1\r\n\r\n");
  EXPECT_EQ(client.Receive(1, milliseconds(100)), "");
  EXPECT_FALSE(client.ClosedByPeer());
  server.Stop();
  EXPECT_EQ(client.Receive(1), "");
  EXPECT_TRUE(client.ClosedByPeer());
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(ScriptedServer, WaitsTheDelayBeforeAnswering) {
  Reply slow = Reply::Answer(200, "late");
  slow.delay = milliseconds(300);
  ScriptedServer server([&slow](const ReceivedRequest&) { return slow; });
  RawClient client(server.Port());
  client.Send("GET / HTTP/1.1\r\n\r\n");
  EXPECT_EQ(client.Receive(1, milliseconds(100)), "");
  EXPECT_NE(client.Receive(1, milliseconds(2000)), "");
}

TEST(ClosedLoopbackPort, RefusesConnections) {
  RawClient client(ClosedLoopbackPort());
  EXPECT_FALSE(client.Connected());
}

}  // namespace
}  // namespace lumerin::testsupport
