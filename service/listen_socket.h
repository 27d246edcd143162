// The listening TCP socket of the service, opened before the HTTP server
// starts so that a port taken by another program is a clear error at start
// and port 0 can be resolved to the port actually bound.
#ifndef LUMERIN_SERVICE_LISTEN_SOCKET_H_
#define LUMERIN_SERVICE_LISTEN_SOCKET_H_

#include <cstdint>
#include <string>

#include "service/status.h"

namespace lumerin {

struct ListenSocket {
  int fd = -1;              // non-blocking, close-on-exec, listening
  std::uint16_t port = 0;   // the port bound (never 0)
  std::string hostAndPort;  // "127.0.0.1:7312" or "[::1]:7312"
};

// Binds `address` (numeric IPv4, or IPv6 when `ipv6`) and `port` (0 for any
// free one) with SO_REUSEADDR, so a restart does not wait for old
// connections to time out, but never SO_REUSEPORT: a second service on a
// port in use fails here. On success the caller owns `socket->fd`.
[[nodiscard]] Status OpenListenSocket(const std::string& address, std::uint16_t port, bool ipv6,
                                      ListenSocket* socket);

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_LISTEN_SOCKET_H_
