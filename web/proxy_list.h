// The proxy list and the bypass list of the client's proxy access type.
//
// A proxy list holds entries separated by blanks or ";". An entry
// "scheme=host[:port]" names the proxy for URLs of that scheme ("http",
// "https"); an entry "host[:port]" names it for every scheme; the first
// entry that applies wins, and a missing port is 80. A bypass list holds
// host names, separated the same way, that are reached directly.
//   ProxyList::Parse("http=127.0.0.1:3128")->ForScheme("http")->port == 3128
//   ProxyList::Parse("http=127.0.0.1:3128")->ForScheme("https") == std::nullopt
//   ProxyList::Parse("http=") == std::nullopt
#ifndef LUMERIN_WEB_PROXY_LIST_H_
#define LUMERIN_WEB_PROXY_LIST_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "web/server_address.h"

namespace lumerin {

class ProxyList {
 public:
  // The list written as `text`; nullopt when it has no entry, or when an
  // entry has an empty scheme, an empty address, or an address that is not
  // "host[:port]" (ParseServerAddress), so that a list that cannot be used
  // whole is not used at all.
  [[nodiscard]] static std::optional<ProxyList> Parse(std::string_view text);

  // The proxy for URLs of `scheme` (ASCII case ignored); nullopt when no
  // entry applies.
  [[nodiscard]] std::optional<ServerAddress> ForScheme(std::string_view scheme) const;

 private:
  struct Entry {
    std::string scheme;  // empty: every scheme
    ServerAddress proxy;
  };
  std::vector<Entry> entries_;
};

// True when `host` equals (ASCII case ignored) one of the names of
// `bypassList`.
[[nodiscard]] bool IsBypassed(std::string_view bypassList, std::string_view host);

}  // namespace lumerin

#endif  // LUMERIN_WEB_PROXY_LIST_H_
