#include "service/listen_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace lumerin {
namespace {

// Connections waiting to be accepted; bursts of new clients queue here.
constexpr int kBacklog = 1024;

}  // namespace

Status OpenListenSocket(const std::string& address, std::uint16_t port, bool ipv6,
                        ListenSocket* socket) {
  sockaddr_storage storage{};
  socklen_t length = 0;
  if (ipv6) {
    auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
    in6->sin6_family = AF_INET6;
    in6->sin6_port = htons(port);
    if (inet_pton(AF_INET6, address.c_str(), &in6->sin6_addr) != 1) {
      return Status::Error("not an IPv6 address: " + address);
    }
    length = sizeof(sockaddr_in6);
  } else {
    auto* in4 = reinterpret_cast<sockaddr_in*>(&storage);
    in4->sin_family = AF_INET;
    in4->sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &in4->sin_addr) != 1) {
      return Status::Error("not an IPv4 address: " + address);
    }
    length = sizeof(sockaddr_in);
  }
  const std::string shown = (ipv6 ? "[" + address + "]" : address) + ":";

  const int fd = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return Status::Error(std::string("cannot create a socket: ") + std::strerror(errno));
  const int on = 1;
  const bool configured = setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
                          (!ipv6 || setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on) == 0);
  if (!configured || ::bind(fd, reinterpret_cast<sockaddr*>(&storage), length) != 0 ||
      ::listen(fd, kBacklog) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
    const int error = errno;
    ::close(fd);
    return Status::Error("cannot listen on " + shown + std::to_string(port) + ": " +
                         std::strerror(error));
  }
  socket->fd = fd;
  socket->port = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                            : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
  socket->hostAndPort = shown + std::to_string(socket->port);
  return Status();
}

}  // namespace lumerin
