// The hexadecimal text form of a byte array, as a sealed text carries it.
//
// HexEncode writes two upper-case digits per byte, so its output holds only
// 0-9 and A-F: it can stand in the query part of a URL unescaped and never
// contains a marker. HexDecode reads both cases back, and gives a defined
// result for every input, hexadecimal or not.
#ifndef LUMERIN_CODEC_HEX_H_
#define LUMERIN_CODEC_HEX_H_

#include <string_view>

#include "text/text_types.h"

namespace lumerin {

// The bytes in order, each as two digits of "0123456789ABCDEF", high nibble
// first: 2n characters for n bytes; the empty array gives the empty text.
//   HexEncode({0x61, 0x62, 0x63}) == "616263"
[[nodiscard]] Text HexEncode(ByteView bytes);

// The bytes written in `hex`: n div 2 bytes for n characters, byte k from
// characters 2k-1 and 2k, high nibble first. Digits "0"-"9", "A"-"F" and
// "a"-"f" have their hexadecimal values; every other character (a space, "G",
// a byte 0x80 and above) counts as the digit 0, so "G1" gives 0x01. An odd
// last character is ignored, and fewer than two characters give the empty
// array.
//   HexDecode("6a6B") == ByteArray{0x6A, 0x6B};  HexDecode("616") == ByteArray{0x61}
[[nodiscard]] ByteArray HexDecode(std::string_view hex);

}  // namespace lumerin

#endif  // LUMERIN_CODEC_HEX_H_
