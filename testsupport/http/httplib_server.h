// An ordinary HTTP server for tests: cpp-httplib serving on 127.0.0.1, on a
// free port and a thread of its own, for exchanges a well-behaved server
// produces (routes, redirects, cookies). For answers scripted byte for byte
// or servers that misbehave, use ScriptedServer (scripted_server.h).
//
// Example:
//   HttplibServer server([](httplib::Server& routes) {
//     routes.Get("/a", [](const httplib::Request&, httplib::Response& answer) {
//       answer.set_content("body", "text/plain");
//     });
//   });
//   ... send requests to server.BaseUrl() + "/a" ...
#ifndef LUMERIN_TESTSUPPORT_HTTP_HTTPLIB_SERVER_H_
#define LUMERIN_TESTSUPPORT_HTTP_HTTPLIB_SERVER_H_

#include <httplib.h>

#include <functional>
#include <string>
#include <thread>

namespace lumerin::testsupport {

class HttplibServer {
 public:
  // Lets `routes` register the handlers, binds 127.0.0.1 on a free port and
  // returns once the server is serving. Ends the program with a message on
  // stderr when no port can be bound. The handlers run on the server's
  // threads. Idle kept-alive connections are closed after 1 s (`routes` may
  // set another time-out), which bounds how long Stop waits for them.
  explicit HttplibServer(const std::function<void(httplib::Server&)>& routes);
  // Stops the server (see Stop).
  ~HttplibServer();

  HttplibServer(const HttplibServer&) = delete;
  HttplibServer& operator=(const HttplibServer&) = delete;

  // The port the server listens on.
  [[nodiscard]] int Port() const { return port_; }
  // "http://127.0.0.1:<port>".
  [[nodiscard]] std::string BaseUrl() const;

  // Stops serving and waits for the server's thread. Idempotent.
  void Stop();

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

}  // namespace lumerin::testsupport

#endif  // LUMERIN_TESTSUPPORT_HTTP_HTTPLIB_SERVER_H_
