// Sealing: a text as the upper-case hexadecimal form of its RC4 bytes.
//
// A sealed text has two characters per byte of the text, digits 0-9 and A-F
// only, and no header, salt or check of any kind: the same text and key always
// give the same sealed text, and unsealing with a wrong key is not detected but
// yields other bytes. Both functions are pure and may run on any thread.
//
// The path of a text: SealText(text, key) == HexEncode(Rc4Transform(bytes of
// text, key)), and UnsealText runs the same steps backwards.
#ifndef LUMERIN_CODEC_SEAL_H_
#define LUMERIN_CODEC_SEAL_H_

#include <string_view>

#include "text/text_types.h"

namespace lumerin {

// The sealed text of `text` under `key` (any key, the empty one included; see
// Rc4Transform): 2n characters for a text of n bytes; the empty text gives the
// empty sealed text.
//   SealText("abc", "") == "636764"
[[nodiscard]] Text SealText(std::string_view text, std::string_view key);

// The text sealed in `sealed` under `key`: the bytes of HexDecode(sealed) run
// through Rc4Transform, up to the first zero byte among them (a Text holds
// none). With the key the text was sealed with this is exactly that text; with
// another key it is other bytes, possibly the empty text. The empty sealed
// text gives the empty text.
//   UnsealText(SealText(text, key), key) == text
[[nodiscard]] Text UnsealText(std::string_view sealed, std::string_view key);

}  // namespace lumerin

#endif  // LUMERIN_CODEC_SEAL_H_
