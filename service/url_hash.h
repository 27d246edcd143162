// The keyed hash under which long URLs are indexed.
//
// The store finds a URL's existing code through an index of 64-bit hashes
// rather than of the URLs themselves (up to 4 KiB each, which would spill
// every index entry into overflow pages). The hash is SipHash-2-4 under a
// secret key kept in the database, so clients cannot craft URLs that
// collide and turn lookups into scans; a collision only costs comparing the
// URLs, which the lookup always does.
#ifndef LUMERIN_SERVICE_URL_HASH_H_
#define LUMERIN_SERVICE_URL_HASH_H_

#include <array>
#include <cstdint>
#include <string_view>

namespace lumerin {

using UrlHashKey = std::array<std::uint8_t, 16>;

// SipHash-2-4 of `text` under `key`, as defined by Aumasson and Bernstein.
[[nodiscard]] std::uint64_t SipHash24(const UrlHashKey& key, std::string_view text);

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_URL_HASH_H_
