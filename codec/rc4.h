// RC4, the stream cipher that seals a text's bytes.
//
// Rc4Transform is published RC4: the key schedule over the key's bytes, then
// the generated key stream XORed into the data. Applying it twice with the
// same key gives the data back, so it both seals and unseals. It keeps no
// state between calls: each call builds its own permutation, so the same data
// and key always give the same result, and calls may run on any thread.
//
// RC4 has no integrity check: a wrong key is not detected, it merely yields
// other bytes.
#ifndef LUMERIN_CODEC_RC4_H_
#define LUMERIN_CODEC_RC4_H_

#include <string_view>

#include "text/text_types.h"

namespace lumerin {

// `data` XORed with the RC4 key stream of `key`; the result has the same
// length as `data`, and the empty data gives the empty array.
//
// The key's bytes count as unsigned values 0 to 255 (a byte 0xB0 of a
// two-byte character is 176). As in published RC4, only the first 256 key
// bytes take part in the key schedule, so a longer key acts exactly like its
// first 256 bytes. With the empty key the key schedule is skipped and the key
// stream is generated from the identity permutation; it begins
// 02 05 07 0D 0D 17 1F 28.
//   Rc4Transform(Rc4Transform(data, key), key) == data
[[nodiscard]] ByteArray Rc4Transform(ByteView data, std::string_view key);

}  // namespace lumerin

#endif  // LUMERIN_CODEC_RC4_H_
