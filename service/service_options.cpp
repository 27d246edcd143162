#include "service/service_options.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>

namespace lumerin {
namespace {

constexpr std::size_t kMaxPublicHostLength = 255;

bool IsHostByte(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' ||
         c == '-' || c == '_' || c == ':' || c == '[' || c == ']';
}

Status ParseListen(std::string_view value, ServiceOptions* options) {
  const std::size_t colon = value.rfind(':');
  if (colon == std::string_view::npos) return Status::Error("--listen expects ADDR:PORT");
  std::string_view address = value.substr(0, colon);
  const std::string_view port = value.substr(colon + 1);
  unsigned number = 0;
  const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
  if (port.empty() || error != std::errc() || end != port.data() + port.size() || number > 65535) {
    return Status::Error("--listen: port must be a number from 0 to 65535");
  }
  options->listenIpv6 = address.size() >= 2 && address.front() == '[' && address.back() == ']';
  if (options->listenIpv6) address = address.substr(1, address.size() - 2);
  unsigned char parsed[16];
  const std::string text(address);
  if (inet_pton(options->listenIpv6 ? AF_INET6 : AF_INET, text.c_str(), parsed) != 1) {
    return Status::Error("--listen: address must be IPv4 (127.0.0.1) or IPv6 in brackets ([::1])");
  }
  options->listenAddress = text;
  options->listenPort = static_cast<std::uint16_t>(number);
  return Status();
}

}  // namespace

Status ParseServiceOptions(std::span<const char* const> args, ServiceOptions* options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options->help = true;
      continue;
    }
    if (arg != "--listen" && arg != "--db" && arg != "--public-host") {
      return Status::Error("unknown argument " + std::string(arg) + " (see --help)");
    }
    if (i + 1 == args.size()) return Status::Error(std::string(arg) + " needs a value");
    const std::string_view value = args[++i];
    if (arg == "--listen") {
      if (Status status = ParseListen(value, options); !status.ok()) return status;
    } else if (arg == "--db") {
      if (value.empty()) return Status::Error("--db needs a path");
      options->databasePath = value;
    } else {
      if (value.empty() || value.size() > kMaxPublicHostLength ||
          !std::all_of(value.begin(), value.end(), IsHostByte)) {
        return Status::Error(
            "--public-host must be a host name or address, with an optional :PORT");
      }
      options->publicHost = value;
    }
  }
  return Status();
}

std::string_view ServiceUsage() {
  return "usage: lumerin-linkd [--listen ADDR:PORT] [--db PATH] [--public-host HOST]\n"
         "\n"
         "Serves short links: POST /create.php stores a long URL and answers its short\n"
         "link, POST /query.php answers the long URL behind a short link, GET /healthz\n"
         "answers 200 while the service runs. One access-log line per request on stderr.\n"
         "\n"
         "  --listen ADDR:PORT  where to listen (default 127.0.0.1:7312); port 0 picks a\n"
         "                      free port. The address and port bound are printed as\n"
         "                      \"listening on ADDR:PORT\" on stdout.\n"
         "  --db PATH           the SQLite database, created when missing\n"
         "                      (default ./lumerin-links.db)\n"
         "  --public-host HOST  the host written into short links, e.g. example.org or\n"
         "                      example.org:8080 (default the listen address and port)\n"
         "  --help              print this text\n"
         "\n"
         "SIGTERM or SIGINT stops the service after the pending creates are stored.\n";
}

}  // namespace lumerin
