// Which long URLs the service stores.
//
// Every stored URL must be safe to write into a JSON answer exactly as it
// stands (clients read it back without undoing any escape), so only printable
// ASCII is allowed, without the space and without the characters that JSON or
// HTML would need to escape.
#ifndef LUMERIN_SERVICE_LONG_URL_H_
#define LUMERIN_SERVICE_LONG_URL_H_

#include <cstddef>
#include <string_view>

#include "service/status.h"

namespace lumerin {

// Clients store at most 1812 characters; the bound leaves room for others.
inline constexpr std::size_t kMaxLongUrlLength = 4096;

// Succeeds when `url` (already form-decoded) may be stored: 1 to
// kMaxLongUrlLength bytes, beginning "http://" or "https://", every byte
// 0x21 to 0x7E except '"', '\', '<' and '>'. Otherwise the reason, fit for the
// client.
[[nodiscard]] Status CheckLongUrl(std::string_view url);

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_LONG_URL_H_
