// The HTTP front end of the service, on GNU libmicrohttpd.
//
// Routes: POST /create.php and POST /query.php to LinkService, GET (or HEAD)
// /healthz to a plain 200; another method on those paths is 405, any other
// path 404. Request bodies are read up to kMaxBodyBytes; a larger declared
// Content-Length is answered 413 before the body is read.
//
// Defences: from libmicrohttpd, epoll with a small pool of threads, so
// thousands of idle or slow connections cost no threads; a connection limit
// and a per-client-address limit; an idle time-out; a fixed memory pool per
// connection, which bounds the request headers. Of our own, a deadline on
// the arrival of each request (request_deadline.h), which also closes
// clients that trickle their request too slowly to ever be idle.
//
// Creates do not hold a thread while their batch commits: the connection is
// suspended and resumed by the writer once the answer is known, so every
// waiting create can join the same batch.
#ifndef LUMERIN_SERVICE_HTTP_SERVER_H_
#define LUMERIN_SERVICE_HTTP_SERVER_H_

#include <atomic>
#include <cstddef>
#include <memory>

#include "service/access_log.h"
#include "service/link_service.h"
#include "service/listen_socket.h"
#include "service/request_deadline.h"
#include "service/status.h"

struct MHD_Daemon;
struct MHD_Connection;

namespace lumerin {

// The largest request body read; bodies are form fields of at most a few
// kilobytes.
inline constexpr std::size_t kMaxBodyBytes = 64 * 1024;

struct HttpLimits {
  // Enough for 500 slow clients and hundreds of well-behaved ones at once;
  // the per-address limit is high because local tools (and load tests) all
  // come from 127.0.0.1.
  unsigned connectionLimit = 2048;
  unsigned perAddressLimit = 1024;
  // A connection silent for this long is closed.
  unsigned idleTimeoutSeconds = 10;
  // A request (headers and body) must arrive in full within this long of
  // the connection's start or of the previous answer.
  unsigned requestDeadlineSeconds = 10;
  // Per-connection memory, holding the request line and headers and the
  // read and write buffers: headers of 8 KiB always fit (up to about 12 KiB
  // do); larger ones are refused by libmicrohttpd with 431.
  std::size_t connectionMemoryBytes = 16 * 1024;
};

class HttpServer {
 public:
  // Starts serving on `socket` (the server owns its fd from now on, also on
  // failure) with `service` and `log`, which must outlive the server.
  [[nodiscard]] static Status Start(const ListenSocket& socket, bool ipv6, LinkService& service,
                                    const AccessLog& log, const HttpLimits& limits,
                                    std::unique_ptr<HttpServer>* server);

  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // BeginShutdown() and Finish().
  ~HttpServer();

  // Stops accepting connections; creates arriving from now on are answered
  // 503 at once. Requests in progress go on.
  void BeginShutdown();

  // Waits (a few seconds at most) until every suspended create has been
  // resumed and answered, then closes all connections and stops the
  // threads. Call after the writer has answered its queue.
  void Finish();

  // The size of the worker pool: one epoll thread per core, two to eight.
  [[nodiscard]] static unsigned WorkerThreads();

 private:
  friend struct HttpCallbacks;  // the libmicrohttpd callbacks
  struct Exchange;              // one request in progress
  struct Reply;                 // an answer with its HTTP headers

  HttpServer(LinkService& service, const AccessLog& log, const HttpLimits& limits);

  // Each returns false when the connection must be closed.
  bool OnRequest(MHD_Connection* connection, const char* url, const char* method,
                 const char* uploadData, std::size_t* uploadDataSize, void** state);
  void OnCompleted(Exchange* exchange);
  void OnConnection(MHD_Connection* connection, void** socketContext, bool started);
  // Routes a request whose headers have arrived; answers what the headers
  // alone decide.
  bool BeginExchange(MHD_Connection* connection, Exchange* exchange);
  // Handles a request whose body has arrived (or a resumed create).
  bool FinishExchange(MHD_Connection* connection, Exchange* exchange);
  // Answers from the headers alone: at once when a body follows (which is
  // then left unread and the connection closed), else once the request is
  // complete, so that the connection stays open for the next request.
  bool AnswerEarly(MHD_Connection* connection, Exchange* exchange, Reply reply);
  bool Respond(MHD_Connection* connection, Exchange* exchange, const Reply& reply);
  void ReleaseSuspension(Exchange* exchange);

  LinkService& service_;
  const AccessLog& log_;
  RequestDeadline deadline_;
  MHD_Daemon* daemon_ = nullptr;
  std::atomic<bool> stopping_{false};
  std::atomic<int> suspended_{0};  // creates suspended and not yet answered
  bool quiesced_ = false;
};

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_HTTP_SERVER_H_
