#include "service/http_server.h"

#include <microhttpd.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

namespace lumerin {
namespace {

using Clock = std::chrono::steady_clock;

// How long Finish() waits for suspended creates to be answered.
constexpr auto kDrainTimeout = std::chrono::seconds(5);

constexpr const char* kJson = "application/json";

}  // namespace

struct HttpServer::Reply {
  Answer answer;
  const char* contentType = kJson;
  const char* allow = nullptr;  // the Allow header of a 405, or none
};

struct HttpServer::Exchange {
  enum class Route {
    kNone,    // answered, or to be answered, from the headers alone
    kCreate,  // POST /create.php
    kQuery,   // POST /query.php
  };

  Clock::time_point start = Clock::now();
  std::string method;
  std::string path;
  Route route = Route::kNone;
  std::optional<Reply> early;  // sent once a request without body is complete
  std::string body;
  RequestDeadline::Watch* watch = nullptr;  // of the connection
  bool suspended = false;                   // counted in suspended_
  bool logged = false;
  // Written by the create's completion before it resumes the connection,
  // read by the connection's thread once resumed.
  std::atomic<bool> ready{false};
  Answer answer;
};

struct HttpCallbacks {
  static MHD_Result Request(void* cls, MHD_Connection* connection, const char* url,
                            const char* method, const char* /*version*/, const char* uploadData,
                            std::size_t* uploadDataSize, void** state) {
    return static_cast<HttpServer*>(cls)->OnRequest(connection, url, method, uploadData,
                                                    uploadDataSize, state)
               ? MHD_YES
               : MHD_NO;
  }

  static void Completed(void* cls, MHD_Connection* /*connection*/, void** state,
                        MHD_RequestTerminationCode /*reason*/) {
    auto* exchange = static_cast<HttpServer::Exchange*>(*state);
    if (exchange == nullptr) return;
    *state = nullptr;
    static_cast<HttpServer*>(cls)->OnCompleted(exchange);
  }

  static void Connection(void* cls, MHD_Connection* connection, void** socketContext,
                         MHD_ConnectionNotificationCode code) {
    static_cast<HttpServer*>(cls)->OnConnection(connection, socketContext,
                                                code == MHD_CONNECTION_NOTIFY_STARTED);
  }
};

unsigned HttpServer::WorkerThreads() {
  return std::clamp(std::thread::hardware_concurrency(), 2u, 8u);
}

HttpServer::HttpServer(LinkService& service, const AccessLog& log, const HttpLimits& limits)
    : service_(service),
      log_(log),
      deadline_(std::chrono::seconds(limits.requestDeadlineSeconds)) {}

Status HttpServer::Start(const ListenSocket& socket, bool ipv6, LinkService& service,
                         const AccessLog& log, const HttpLimits& limits,
                         std::unique_ptr<HttpServer>* server) {
  std::unique_ptr<HttpServer> created(new HttpServer(service, log, limits));
  unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME;
  if (ipv6) flags |= MHD_USE_IPv6;
  created->daemon_ =
      MHD_start_daemon(flags, 0, nullptr, nullptr, &HttpCallbacks::Request, created.get(),       //
                       MHD_OPTION_LISTEN_SOCKET, static_cast<MHD_socket>(socket.fd),             //
                       MHD_OPTION_THREAD_POOL_SIZE, WorkerThreads(),                             //
                       MHD_OPTION_CONNECTION_LIMIT, limits.connectionLimit,                      //
                       MHD_OPTION_PER_IP_CONNECTION_LIMIT, limits.perAddressLimit,               //
                       MHD_OPTION_CONNECTION_TIMEOUT, limits.idleTimeoutSeconds,                 //
                       MHD_OPTION_CONNECTION_MEMORY_LIMIT, limits.connectionMemoryBytes,         //
                       MHD_OPTION_NOTIFY_COMPLETED, &HttpCallbacks::Completed, created.get(),    //
                       MHD_OPTION_NOTIFY_CONNECTION, &HttpCallbacks::Connection, created.get(),  //
                       MHD_OPTION_END);
  if (created->daemon_ == nullptr) {
    ::close(socket.fd);
    return Status::Error("cannot start the HTTP server on " + socket.hostAndPort);
  }
  *server = std::move(created);
  return Status();
}

HttpServer::~HttpServer() {
  BeginShutdown();
  Finish();
}

void HttpServer::BeginShutdown() {
  stopping_.store(true);
  if (daemon_ == nullptr || quiesced_) return;
  quiesced_ = true;
  const MHD_socket listening = MHD_quiesce_daemon(daemon_);
  if (listening != MHD_INVALID_SOCKET) ::close(listening);
}

void HttpServer::Finish() {
  if (daemon_ == nullptr) return;
  const auto deadline = Clock::now() + kDrainTimeout;
  while (suspended_.load() > 0 && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  MHD_stop_daemon(daemon_);
  daemon_ = nullptr;
}

bool HttpServer::OnRequest(MHD_Connection* connection, const char* url, const char* method,
                           const char* uploadData, std::size_t* uploadDataSize, void** state) {
  auto* exchange = static_cast<Exchange*>(*state);
  if (exchange == nullptr) {
    exchange = new Exchange;
    exchange->method = method;
    exchange->path = url;
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    exchange->watch =
        info != nullptr ? static_cast<RequestDeadline::Watch*>(info->socket_context) : nullptr;
    *state = exchange;
    return BeginExchange(connection, exchange);
  }
  if (*uploadDataSize == 0) return FinishExchange(connection, exchange);

  const std::size_t size = *uploadDataSize;
  *uploadDataSize = 0;
  if (exchange->route == Exchange::Route::kNone) return true;  // discarded
  if (exchange->body.size() + size > kMaxBodyBytes) {
    // A body without a declared length has grown too large. No answer can be
    // queued while a body arrives, so the connection is closed instead of
    // reading on.
    log_.Record(exchange->method, exchange->path, 413, Clock::now() - exchange->start);
    exchange->logged = true;
    return false;
  }
  exchange->body.append(uploadData, size);
  return true;
}

bool HttpServer::BeginExchange(MHD_Connection* connection, Exchange* exchange) {
  const std::string_view path = exchange->path;
  const std::string_view method = exchange->method;
  if (path == "/healthz") {
    if (method == MHD_HTTP_METHOD_GET || method == MHD_HTTP_METHOD_HEAD) {
      return AnswerEarly(connection, exchange, Reply{{200, "ok\n"}, "text/plain"});
    }
    return AnswerEarly(connection, exchange,
                       Reply{ErrorAnswer(405, "use GET"), kJson, "GET, HEAD"});
  }
  if (path != "/create.php" && path != "/query.php") {
    return AnswerEarly(connection, exchange, Reply{ErrorAnswer(404, "no such path")});
  }
  if (method != MHD_HTTP_METHOD_POST) {
    return AnswerEarly(connection, exchange, Reply{ErrorAnswer(405, "use POST"), kJson, "POST"});
  }
  const char* declared =
      MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
  if (declared != nullptr) {
    std::size_t length = 0;
    const char* end = declared + std::strlen(declared);
    const auto parsed = std::from_chars(declared, end, length);
    if (parsed.ec != std::errc() || parsed.ptr != end || length > kMaxBodyBytes) {
      return Respond(connection, exchange,
                     Reply{ErrorAnswer(413, "request body larger than 64 KiB")});
    }
  }
  exchange->route = path == "/create.php" ? Exchange::Route::kCreate : Exchange::Route::kQuery;
  return true;
}

bool HttpServer::FinishExchange(MHD_Connection* connection, Exchange* exchange) {
  if (exchange->ready.load(std::memory_order_acquire)) {
    ReleaseSuspension(exchange);
    return Respond(connection, exchange, Reply{std::move(exchange->answer)});
  }
  if (exchange->early.has_value()) {
    const Reply reply = std::move(*exchange->early);
    exchange->early.reset();
    return Respond(connection, exchange, reply);
  }
  switch (exchange->route) {
    case Exchange::Route::kNone:
      return true;
    case Exchange::Route::kQuery:
      return Respond(connection, exchange, Reply{service_.Query(exchange->body)});
    case Exchange::Route::kCreate:
      break;
  }
  // Counted before stopping_ is read, so that Finish() either sees this
  // create in suspended_ or this create sees stopping_.
  suspended_.fetch_add(1);
  if (stopping_.load()) {
    suspended_.fetch_sub(1);
    return Respond(connection, exchange, Reply{ErrorAnswer(503, "service is stopping")});
  }
  exchange->suspended = true;
  if (exchange->watch != nullptr) exchange->watch->StopWaiting();
  MHD_suspend_connection(connection);
  service_.Create(exchange->body, [exchange, connection](Answer answer) {
    exchange->answer = std::move(answer);
    exchange->ready.store(true, std::memory_order_release);
    MHD_resume_connection(connection);
  });
  return true;
}

bool HttpServer::AnswerEarly(MHD_Connection* connection, Exchange* exchange, Reply reply) {
  const char* length =
      MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
  const bool hasBody = (length != nullptr && std::strcmp(length, "0") != 0) ||
                       MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                                   MHD_HTTP_HEADER_TRANSFER_ENCODING) != nullptr;
  if (hasBody) return Respond(connection, exchange, reply);
  exchange->early = std::move(reply);
  return true;
}

bool HttpServer::Respond(MHD_Connection* connection, Exchange* exchange, const Reply& reply) {
  exchange->route = Exchange::Route::kNone;
  if (exchange->watch != nullptr) exchange->watch->StopWaiting();
  MHD_Response* response = MHD_create_response_from_buffer(
      reply.answer.body.size(), const_cast<char*>(reply.answer.body.data()), MHD_RESPMEM_MUST_COPY);
  if (response == nullptr) return false;
  MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, reply.contentType);
  if (reply.allow != nullptr) MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, reply.allow);
  // Logged before the answer leaves, so a client that has its answer can
  // count on the line being written.
  log_.Record(exchange->method, exchange->path, reply.answer.httpStatus,
              Clock::now() - exchange->start);
  exchange->logged = true;
  const MHD_Result queued =
      MHD_queue_response(connection, static_cast<unsigned>(reply.answer.httpStatus), response);
  MHD_destroy_response(response);
  return queued == MHD_YES;
}

void HttpServer::ReleaseSuspension(Exchange* exchange) {
  if (!exchange->suspended) return;
  exchange->suspended = false;
  suspended_.fetch_sub(1);
}

void HttpServer::OnConnection(MHD_Connection* connection, void** socketContext, bool started) {
  if (!started) {
    // Called before libmicrohttpd closes the socket.
    deadline_.Remove(static_cast<RequestDeadline::Watch*>(*socketContext));
    *socketContext = nullptr;
    return;
  }
  const MHD_ConnectionInfo* info =
      MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
  if (info != nullptr) *socketContext = deadline_.Add(info->connect_fd);
}

void HttpServer::OnCompleted(Exchange* exchange) {
  ReleaseSuspension(exchange);
  // The connection waits for its next request, if it stays open.
  if (exchange->watch != nullptr) exchange->watch->StartWaiting();
  if (!exchange->logged) {
    // The client went away, or the request was cut off, before an answer;
    // status 0 says that none was sent.
    log_.Record(exchange->method, exchange->path, 0, Clock::now() - exchange->start);
  }
  delete exchange;
}

}  // namespace lumerin
