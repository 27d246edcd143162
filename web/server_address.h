// What the HTTP client accepts as the address of a server: a host name or
// IPv4 address, and a port number.
//
// The client builds the address it hands to libcurl out of these pieces, so
// they are checked strictly: a name that could carry anything but a host
// (a user name, a path, a query, white space) is refused rather than passed on.
#ifndef LUMERIN_WEB_SERVER_ADDRESS_H_
#define LUMERIN_WEB_SERVER_ADDRESS_H_

#include <optional>
#include <string>
#include <string_view>

namespace lumerin {

// A host name and a port in 1-65535.
struct ServerAddress {
  std::string host;
  int port = 0;
};

// True when `name` is 1 to 253 bytes of ASCII letters, digits, "-", "." and
// "_": a host name or a dotted IPv4 address.
[[nodiscard]] bool IsServerName(std::string_view name);

// True when `port` lies in 1-65535.
[[nodiscard]] bool IsServerPort(int port);

// The address written "host" or "host:port" (decimal digits only); a missing
// port is `defaultPort`. nullopt when the host is not a server name or the
// port is not a number in 1-65535.
//   ParseServerAddress("proxy.lan:3128", 80)->port == 3128
[[nodiscard]] std::optional<ServerAddress> ParseServerAddress(std::string_view text,
                                                              int defaultPort);

}  // namespace lumerin

#endif  // LUMERIN_WEB_SERVER_ADDRESS_H_
