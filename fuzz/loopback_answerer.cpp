#include "fuzz/loopback_answerer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <thread>

namespace lumerin::fuzz {
namespace {

[[noreturn]] void Fail(const char* what) {
  std::perror(what);
  std::abort();
}

// Writes all of `bytes`; false when the peer has gone.
bool SendAll(int connection, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

// The value of the Content-Length line of `head`, 0 when there is none.
std::size_t ContentLength(std::string_view head) {
  std::size_t at = 0;
  while ((at = head.find("\r\n", at)) != std::string_view::npos) {
    at += 2;
    constexpr std::string_view kName = "content-length:";
    if (head.size() - at < kName.size()) break;
    bool matches = true;
    for (std::size_t i = 0; i < kName.size() && matches; ++i) {
      char c = head[at + i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      matches = c == kName[i];
    }
    if (matches)
      return std::strtoul(std::string(head.substr(at + kName.size(), 20)).c_str(), nullptr, 10);
  }
  return 0;
}

}  // namespace

LoopbackAnswerer& LoopbackAnswerer::Get() {
  // Never destroyed: its threads serve until the process ends.
  static LoopbackAnswerer* const server = new LoopbackAnswerer();
  return *server;
}

LoopbackAnswerer::LoopbackAnswerer() {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  if (listener_ < 0) Fail("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) Fail("bind");
  if (listen(listener_, 16) != 0) Fail("listen");
  socklen_t length = sizeof address;
  if (getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    Fail("getsockname");
  }
  port_ = ntohs(address.sin_port);
  std::thread([this] { AcceptLoop(); }).detach();
}

void LoopbackAnswerer::SetAnswer(int status, std::string body) {
  std::lock_guard<std::mutex> lock(mutex_);
  status_ = status;
  body_ = std::move(body);
}

SeenRequest LoopbackAnswerer::LastRequest() {
  std::lock_guard<std::mutex> lock(mutex_);
  return last_;
}

void LoopbackAnswerer::AcceptLoop() {
  while (true) {
    const int connection = accept(listener_, nullptr, nullptr);
    if (connection < 0) continue;
    const int on = 1;
    setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    std::thread([this, connection] { Serve(connection); }).detach();
  }
}

void LoopbackAnswerer::Serve(int connection) {
  std::string pending;
  char block[4096];
  while (true) {
    std::size_t headEnd;
    while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
      const ssize_t got = recv(connection, block, sizeof block, 0);
      if (got <= 0) {
        close(connection);
        return;
      }
      pending.append(block, static_cast<std::size_t>(got));
    }
    const std::string head = pending.substr(0, headEnd + 2);
    const std::size_t bodyLength = ContentLength(head);
    while (pending.size() < headEnd + 4 + bodyLength) {
      const ssize_t got = recv(connection, block, sizeof block, 0);
      if (got <= 0) {
        close(connection);
        return;
      }
      pending.append(block, static_cast<std::size_t>(got));
    }
    SeenRequest request;
    const std::size_t space = head.find(' ');
    const std::size_t secondSpace = head.find(' ', space + 1);
    request.method = head.substr(0, space);
    request.target = head.substr(space + 1, secondSpace - space - 1);
    request.body = pending.substr(headEnd + 4, bodyLength);
    pending.erase(0, headEnd + 4 + bodyLength);

    std::string answer;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      last_ = std::move(request);
      answer = "HTTP/1.1 " + std::to_string(status_) +
               " Fuzz\r\nContent-Length: " + std::to_string(body_.size()) + "\r\n\r\n" + body_;
    }
    if (!SendAll(connection, answer)) {
      close(connection);
      return;
    }
  }
}

}  // namespace lumerin::fuzz
