#include "web/server_address.h"

#include <algorithm>

namespace lumerin {

namespace {

constexpr std::size_t kMaxServerName = 253;
constexpr int kMaxPort = 65535;

bool IsNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_';
}

}  // namespace

bool IsServerName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxServerName &&
         std::all_of(name.begin(), name.end(), IsNameByte);
}

bool IsServerPort(int port) { return port >= 1 && port <= kMaxPort; }

std::optional<ServerAddress> ParseServerAddress(std::string_view text, int defaultPort) {
  const std::size_t colon = text.find(':');
  const std::string_view host = text.substr(0, colon);
  if (!IsServerName(host)) return std::nullopt;
  int port = defaultPort;
  if (colon != std::string_view::npos) {
    const std::string_view digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    port = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return std::nullopt;
      port = port * 10 + (c - '0');
    }
  }
  if (!IsServerPort(port)) return std::nullopt;
  return ServerAddress{std::string(host), port};
}

}  // namespace lumerin
