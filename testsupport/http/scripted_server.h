// A raw HTTP server on loopback whose every answer a test scripts byte for
// byte, for exchanges an ordinary server library would refuse to produce:
// malformed status lines, answers that never come, bodies that stall or stop
// half way, bodies too large to hold.
//
// The server binds 127.0.0.1 on a free port when it is constructed and serves
// until Stop() or destruction. It accepts any number of connections, each on
// a thread of its own, and reads requests from each connection one after
// another (keep-alive): a request is its head up to the first empty line
// (CR LF CR LF) and then as many body bytes as its Content-Length header says
// (none without one; chunked request bodies are not understood). For every
// request it records the raw bytes, calls the test's handler on the
// connection's thread, and carries out the Reply the handler returns.
//
// Example:
//   ScriptedServer server([](const ReceivedRequest&) {
//     return Reply::Answer(200, "{\"status\":0}");
//   });
//   ... send requests to server.BaseUrl() + "/create.php" ...
//   EXPECT_EQ(server.AcceptedConnections(), 1);
//   EXPECT_EQ(server.Requests()[0].Method(), "POST");
#ifndef LUMERIN_TESTSUPPORT_HTTP_SCRIPTED_SERVER_H_
#define LUMERIN_TESTSUPPORT_HTTP_SCRIPTED_SERVER_H_

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace lumerin::testsupport {

// One request as the server read it.
struct ReceivedRequest {
  // The bytes exactly as they arrived: head, empty line and body.
  std::string raw;
  // The first line without its CR LF, such as "POST /create.php HTTP/1.1".
  std::string requestLine;
  // The header lines in arrival order, each without its CR LF.
  std::vector<std::string> headerLines;
  // The body bytes (Content-Length of them).
  std::string body;
  // Which accepted connection carried it: 1 for the first, 2 for the next...
  int connection = 0;

  // The first word of the request line ("POST").
  [[nodiscard]] std::string Method() const;
  // The second word of the request line ("/create.php", or an absolute URI
  // when the request was sent to a proxy).
  [[nodiscard]] std::string Target() const;
  // The value of the first header line named `name` (ASCII case ignored),
  // without the blanks around it; nullopt when no line has that name.
  [[nodiscard]] std::optional<std::string> Header(std::string_view name) const;
};

// What the server does with one request: wait `delay`, write `bytes`, write
// `fillerBytes` bytes of 'x' (in pieces, never held in memory at once, as
// fast as the client reads them), then carry on as `after` says. Any write
// that fails (the client went away) ends the connection.
struct Reply {
  enum class After {
    kKeepAlive,  // read the next request from the same connection
    kClose,      // close the connection
    kStall,      // write nothing more; hold the connection open until the
                 // client closes it or the server stops
  };

  // A filler count that never ends: the server writes until the client stops
  // reading and closes.
  static constexpr std::uint64_t kEndless = std::numeric_limits<std::uint64_t>::max();

  std::string bytes;
  std::uint64_t fillerBytes = 0;
  After after = After::kKeepAlive;
  std::chrono::milliseconds delay{0};

  // A complete, well-formed answer: "HTTP/1.1 <status> <reason>", the given
  // header lines (each without CR LF) in order, "Content-Length: <size of
  // body>", the empty line and the body.
  [[nodiscard]] static Reply Answer(int status, std::string_view body,
                                    const std::vector<std::string>& headerLines = {});
  // These bytes as they are, then the connection stays open for more requests.
  [[nodiscard]] static Reply Raw(std::string bytes);
  // Nothing at all: the request is never answered.
  [[nodiscard]] static Reply Silence();
  // These bytes (say, a head and half a body), then silence.
  [[nodiscard]] static Reply StallAfter(std::string bytes);
  // These bytes, then the connection is closed.
  [[nodiscard]] static Reply CloseAfter(std::string bytes);
  // A 200 head announcing `count` body bytes ("Content-Length"), or none
  // when count is kEndless, followed by that many filler bytes; the
  // connection is closed after an endless body.
  [[nodiscard]] static Reply Filler(std::uint64_t count);
};

class ScriptedServer {
 public:
  // Decides the reply to one request. Called on the connection's thread, so
  // it may run on several threads at once when several connections are open.
  using Handler = std::function<Reply(const ReceivedRequest&)>;

  // Binds 127.0.0.1 on a free port and starts serving with `handler`. Ends
  // the program with a message on stderr when no socket can be bound.
  explicit ScriptedServer(Handler handler);
  // Stops the server (see Stop).
  ~ScriptedServer();

  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  // The port the server listens on.
  [[nodiscard]] int Port() const { return port_; }
  // "http://127.0.0.1:<port>".
  [[nodiscard]] std::string BaseUrl() const;
  // "127.0.0.1:<port>", the form an HTTP proxy address takes.
  [[nodiscard]] std::string Address() const;

  // The number of connections accepted so far.
  [[nodiscard]] int AcceptedConnections() const { return accepted_.load(); }
  // A copy of every request read so far, in the order they were read.
  [[nodiscard]] std::vector<ReceivedRequest> Requests() const;

  // Stops accepting, closes every connection (also stalled ones) and waits
  // for all of the server's threads. Idempotent; the recorded requests stay
  // readable.
  void Stop();

 private:
  void AcceptLoop();
  void Serve(int fd, int connection);
  void Record(const ReceivedRequest& request);

  Handler handler_;
  int listenFd_ = -1;
  int wakeFd_ = -1;  // readable once the server stops; every wait watches it
  int port_ = 0;
  std::atomic<int> accepted_{0};
  std::atomic<bool> stopped_{false};

  mutable std::mutex mutex_;
  std::vector<ReceivedRequest> requests_;  // guarded by mutex_
  std::vector<std::thread> connections_;   // guarded by mutex_
  std::thread acceptor_;
};

// A port on 127.0.0.1 that nothing listens on at the time of the call (a
// port just bound and released), for tests of a server that is down.
[[nodiscard]] int ClosedLoopbackPort();

}  // namespace lumerin::testsupport

#endif  // LUMERIN_TESTSUPPORT_HTTP_SCRIPTED_SERVER_H_
