// The form of short codes, and how a code is found in what a client sends.
//
// A code is what follows "http://HOST/" in a short link. Codes drawn by the
// service are 5 (rarely 6) characters of 0-9A-Za-z; a client may ask for its
// own code, an alias, of 5 to 32 characters of 0-9A-Za-z and "_". Neither
// ever holds "-", which clients use to join codes into lists. Codes are
// case-sensitive.
#ifndef LUMERIN_SERVICE_SHORT_CODE_H_
#define LUMERIN_SERVICE_SHORT_CODE_H_

#include <cstddef>
#include <optional>
#include <string_view>

namespace lumerin {

// The characters of a drawn code, 62 of them.
inline constexpr std::string_view kCodeAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// The length of a drawn code: 62^5, about 916 million codes.
inline constexpr std::size_t kDrawnCodeLength = 5;

inline constexpr std::size_t kMinCodeLength = 5;
inline constexpr std::size_t kMaxCodeLength = 32;

// True when `code` has the form of a code this service can hand out (drawn
// or alias): 5 to 32 of 0-9A-Za-z and "_".
[[nodiscard]] bool IsWellFormedCode(std::string_view code);

// True when `alias` may be asked for as a code; the same form as above.
[[nodiscard]] bool IsWellFormedAlias(std::string_view alias);

// The code named by `shortLink`: either a bare code, or a short link
// "http://HOST/CODE" or "https://HOST/CODE" with any non-empty HOST (scheme
// matched without regard to case). Nothing may follow the code. Returns
// nullopt when no well-formed code is found. The result points into
// `shortLink`.
//
//   CodeFromShortLink("http://127.0.0.1:7312/Ab3dE") == "Ab3dE"
//   CodeFromShortLink("Ab3dE") == "Ab3dE"
//   CodeFromShortLink("http://host/Ab3dE?x") == nullopt
[[nodiscard]] std::optional<std::string_view> CodeFromShortLink(std::string_view shortLink);

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_SHORT_CODE_H_
