#include "testsupport/http/scripted_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace lumerin::testsupport {

namespace {

// Heads larger than this, or bodies larger than kMaxBody, end the connection.
constexpr std::size_t kMaxHead = 1 << 20;
constexpr std::uint64_t kMaxBody = std::uint64_t{256} << 20;

// The size of the pieces filler bytes are written in.
constexpr std::size_t kFillerPiece = 64 * 1024;

[[noreturn]] void Fail(const char* what) {
  std::perror(what);
  std::abort();
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
           return lower(x) == lower(y);
         });
}

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

enum class Wait { kReady, kStopped, kTimedOut };

// Waits until `fd` (when not -1) shows one of `events`, the server stops
// (wakeFd readable), or `timeoutMs` passes (-1: no time limit).
Wait WaitFor(int fd, short events, int wakeFd, int timeoutMs = -1) {
  pollfd fds[2] = {{wakeFd, POLLIN, 0}, {fd, events, 0}};
  while (true) {
    const int count = poll(fds, fd == -1 ? 1 : 2, timeoutMs);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) Fail("poll");
    if (fds[0].revents != 0) return Wait::kStopped;
    if (count == 0) return Wait::kTimedOut;
    return Wait::kReady;
  }
}

// Appends what the peer sent next to `pending`. False at the end of the
// stream, on an error, or when the server stops.
bool ReadMore(int fd, int wakeFd, std::string& pending) {
  char buffer[16 * 1024];
  while (true) {
    const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got > 0) {
      pending.append(buffer, static_cast<std::size_t>(got));
      return true;
    }
    if (got == 0) return false;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
    if (WaitFor(fd, POLLIN, wakeFd) != Wait::kReady) return false;
  }
}

// Writes all of `data`. False when the peer went away or the server stops.
bool WriteAll(int fd, int wakeFd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t put = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (put > 0) {
      data.remove_prefix(static_cast<std::size_t>(put));
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
    if (WaitFor(fd, POLLOUT, wakeFd) != Wait::kReady) return false;
  }
  return true;
}

// The Content-Length of a request; 0 when it has none or it is not a
// plain decimal number, nullopt when it is larger than kMaxBody.
std::optional<std::uint64_t> BodyLength(const ReceivedRequest& request) {
  const std::optional<std::string> value = request.Header("Content-Length");
  if (!value || value->empty() || value->size() > 12) return 0;
  std::uint64_t length = 0;
  for (char c : *value) {
    if (c < '0' || c > '9') return 0;
    length = length * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (length > kMaxBody) return std::nullopt;
  return length;
}

// Takes the next complete request off the front of `pending`, reading more
// as needed. False when the connection ends before a request is complete.
bool ReadRequest(int fd, int wakeFd, std::string& pending, ReceivedRequest& request) {
  std::size_t headEnd;
  while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
    if (pending.size() > kMaxHead || !ReadMore(fd, wakeFd, pending)) return false;
  }
  std::string_view head(pending.data(), headEnd);
  bool first = true;
  while (true) {
    const std::size_t lineEnd = head.find("\r\n");
    const std::string_view line = head.substr(0, lineEnd);
    if (first) {
      request.requestLine = std::string(line);
      first = false;
    } else {
      request.headerLines.emplace_back(line);
    }
    if (lineEnd == std::string_view::npos) break;
    head.remove_prefix(lineEnd + 2);
  }
  const std::optional<std::uint64_t> bodyLength = BodyLength(request);
  if (!bodyLength) return false;
  const std::size_t total = headEnd + 4 + static_cast<std::size_t>(*bodyLength);
  while (pending.size() < total) {
    if (!ReadMore(fd, wakeFd, pending)) return false;
  }
  request.raw = pending.substr(0, total);
  request.body = pending.substr(headEnd + 4, static_cast<std::size_t>(*bodyLength));
  pending.erase(0, total);
  return true;
}

std::string_view ReasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 303:
      return "See Other";
    case 307:
      return "Temporary Redirect";
    case 400:
      return "Bad Request";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

std::string WordOf(std::string_view line, int index) {
  for (int i = 0; i < index; ++i) {
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) return std::string();
    line.remove_prefix(space + 1);
  }
  return std::string(line.substr(0, line.find(' ')));
}

}  // namespace

std::string ReceivedRequest::Method() const { return WordOf(requestLine, 0); }

std::string ReceivedRequest::Target() const { return WordOf(requestLine, 1); }

std::optional<std::string> ReceivedRequest::Header(std::string_view name) const {
  for (const std::string& line : headerLines) {
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    if (EqualsIgnoringCase(std::string_view(line).substr(0, colon), name)) {
      return std::string(TrimSpaces(std::string_view(line).substr(colon + 1)));
    }
  }
  return std::nullopt;
}

Reply Reply::Answer(int status, std::string_view body,
                    const std::vector<std::string>& headerLines) {
  std::string bytes = "HTTP/1.1 " + std::to_string(status) + " ";
  bytes += ReasonPhrase(status);
  bytes += "\r\n";
  for (const std::string& line : headerLines) bytes += line + "\r\n";
  bytes += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  bytes += body;
  return Raw(std::move(bytes));
}

Reply Reply::Raw(std::string bytes) {
  Reply reply;
  reply.bytes = std::move(bytes);
  return reply;
}

Reply Reply::Silence() { return StallAfter(std::string()); }

Reply Reply::StallAfter(std::string bytes) {
  Reply reply = Raw(std::move(bytes));
  reply.after = After::kStall;
  return reply;
}

Reply Reply::CloseAfter(std::string bytes) {
  Reply reply = Raw(std::move(bytes));
  reply.after = After::kClose;
  return reply;
}

Reply Reply::Filler(std::uint64_t count) {
  Reply reply;
  if (count == kEndless) {
    reply.bytes = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n";
    reply.after = After::kClose;
  } else {
    reply.bytes = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(count) + "\r\n\r\n";
  }
  reply.fillerBytes = count;
  return reply;
}

ScriptedServer::ScriptedServer(Handler handler) : handler_(std::move(handler)) {
  listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) Fail("socket");
  const int on = 1;
  setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) Fail("bind");
  if (listen(listenFd_, 128) != 0) Fail("listen");
  socklen_t size = sizeof address;
  if (getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    Fail("getsockname");
  }
  port_ = ntohs(address.sin_port);
  wakeFd_ = eventfd(0, EFD_CLOEXEC);
  if (wakeFd_ < 0) Fail("eventfd");
  acceptor_ = std::thread(&ScriptedServer::AcceptLoop, this);
}

ScriptedServer::~ScriptedServer() { Stop(); }

std::string ScriptedServer::BaseUrl() const { return "http://" + Address(); }

std::string ScriptedServer::Address() const { return "127.0.0.1:" + std::to_string(port_); }

std::vector<ReceivedRequest> ScriptedServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void ScriptedServer::Stop() {
  if (stopped_.exchange(true)) return;
  const std::uint64_t one = 1;
  if (write(wakeFd_, &one, sizeof one) != sizeof one) Fail("eventfd write");
  acceptor_.join();
  // The acceptor has ended, so no connection thread is added any more.
  for (std::thread& connection : connections_) connection.join();
  close(listenFd_);
  close(wakeFd_);
}

void ScriptedServer::AcceptLoop() {
  while (WaitFor(listenFd_, POLLIN, wakeFd_) == Wait::kReady) {
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      // A connection reset before it was taken, or out of descriptors: try
      // again shortly rather than spin.
      if (errno != EAGAIN && errno != EWOULDBLOCK && errno != ECONNABORTED && errno != EINTR) {
        WaitFor(-1, 0, wakeFd_, 10);
      }
      continue;
    }
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const int connection = ++accepted_;
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.emplace_back(&ScriptedServer::Serve, this, fd, connection);
  }
}

void ScriptedServer::Record(const ReceivedRequest& request) {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.push_back(request);
}

void ScriptedServer::Serve(int fd, int connection) {
  static const std::string filler(kFillerPiece, 'x');
  std::string pending;
  bool open = true;
  while (open) {
    ReceivedRequest request;
    request.connection = connection;
    if (!ReadRequest(fd, wakeFd_, pending, request)) break;
    Record(request);
    const Reply reply = handler_(request);
    if (reply.delay.count() > 0 &&
        WaitFor(-1, 0, wakeFd_, static_cast<int>(reply.delay.count())) == Wait::kStopped) {
      break;
    }
    open = WriteAll(fd, wakeFd_, reply.bytes);
    for (std::uint64_t left = reply.fillerBytes; open && left > 0;) {
      const std::size_t piece =
          static_cast<std::size_t>(std::min<std::uint64_t>(left, kFillerPiece));
      open = WriteAll(fd, wakeFd_, std::string_view(filler).substr(0, piece));
      if (reply.fillerBytes != Reply::kEndless) left -= piece;
    }
    if (!open || reply.after == Reply::After::kClose) break;
    if (reply.after == Reply::After::kStall) {
      // Hold the connection, discarding whatever else arrives, until the
      // client closes it or the server stops.
      while (ReadMore(fd, wakeFd_, pending)) pending.clear();
      break;
    }
  }
  close(fd);
}

int ClosedLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) Fail("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) Fail("bind");
  socklen_t size = sizeof address;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) Fail("getsockname");
  close(fd);
  return ntohs(address.sin_port);
}

}  // namespace lumerin::testsupport
