// The command line of lumerin-linkd.
#ifndef LUMERIN_SERVICE_SERVICE_OPTIONS_H_
#define LUMERIN_SERVICE_SERVICE_OPTIONS_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "service/status.h"

namespace lumerin {

struct ServiceOptions {
  // --listen ADDR:PORT: an IPv4 address, or an IPv6 address in brackets.
  // Port 0 lets the system pick a free port.
  std::string listenAddress = "127.0.0.1";
  std::uint16_t listenPort = 7312;
  bool listenIpv6 = false;
  // --db PATH: the database file, created when missing.
  std::string databasePath = "lumerin-links.db";
  // --public-host HOST: written into short links; empty means the listen
  // address with the port actually bound.
  std::string publicHost;
  // --help: print the usage and exit.
  bool help = false;
};

// Parses the arguments after the program name into `*options`. On failure
// says which argument is wrong; `*options` is then unspecified.
[[nodiscard]] Status ParseServiceOptions(std::span<const char* const> args,
                                         ServiceOptions* options);

// The text --help prints.
[[nodiscard]] std::string_view ServiceUsage();

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_SERVICE_OPTIONS_H_
