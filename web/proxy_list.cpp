#include "web/proxy_list.h"

#include <algorithm>

#include "web/ascii_case.h"

namespace lumerin {

namespace {

constexpr int kDefaultProxyPort = 80;

bool IsSeparator(char c) { return c == ' ' || c == ';'; }

// The non-empty pieces of `list` between separators.
std::vector<std::string_view> Entries(std::string_view list) {
  std::vector<std::string_view> entries;
  std::size_t at = 0;
  while (at < list.size()) {
    if (IsSeparator(list[at])) {
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < list.size() && !IsSeparator(list[end])) ++end;
    entries.push_back(list.substr(at, end - at));
    at = end;
  }
  return entries;
}

}  // namespace

std::optional<ProxyList> ProxyList::Parse(std::string_view text) {
  ProxyList list;
  for (std::string_view entry : Entries(text)) {
    std::string scheme;
    const std::size_t equals = entry.find('=');
    if (equals != std::string_view::npos) {
      scheme = std::string(entry.substr(0, equals));
      if (scheme.empty()) return std::nullopt;
      entry.remove_prefix(equals + 1);
    }
    std::optional<ServerAddress> proxy = ParseServerAddress(entry, kDefaultProxyPort);
    if (!proxy) return std::nullopt;
    list.entries_.push_back(Entry{std::move(scheme), std::move(*proxy)});
  }
  if (list.entries_.empty()) return std::nullopt;
  return list;
}

std::optional<ServerAddress> ProxyList::ForScheme(std::string_view scheme) const {
  for (const Entry& entry : entries_) {
    if (entry.scheme.empty() || EqualsIgnoringAsciiCase(entry.scheme, scheme)) return entry.proxy;
  }
  return std::nullopt;
}

bool IsBypassed(std::string_view bypassList, std::string_view host) {
  const std::vector<std::string_view> names = Entries(bypassList);
  return std::any_of(names.begin(), names.end(),
                     [&](std::string_view name) { return EqualsIgnoringAsciiCase(name, host); });
}

}  // namespace lumerin
