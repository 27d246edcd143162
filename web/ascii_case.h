// ASCII case folding for the protocol names the HTTP client compares: header
// names, schemes, host names. Only A-Z fold; every other byte is compared as
// it is.
#ifndef LUMERIN_WEB_ASCII_CASE_H_
#define LUMERIN_WEB_ASCII_CASE_H_

#include <algorithm>
#include <string_view>

namespace lumerin {

// True when `a` and `b` have the same bytes once A-Z are folded to a-z.
[[nodiscard]] inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace lumerin

#endif  // LUMERIN_WEB_ASCII_CASE_H_
