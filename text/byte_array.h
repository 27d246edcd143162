// Operations on byte arrays and integers that the web request uses.
#ifndef LUMERIN_TEXT_BYTE_ARRAY_H_
#define LUMERIN_TEXT_BYTE_ARRAY_H_

#include <cstdint>
#include <initializer_list>

#include "text/text_types.h"

namespace lumerin {

// The number of bytes; 0 for the empty array.
[[nodiscard]] int BytesLength(ByteView bytes);

// The first min(n, count) bytes; the empty array for n <= 0.
[[nodiscard]] ByteArray BytesLeft(ByteView bytes, int n);

// n zero bytes; the empty array for n <= 0.
[[nodiscard]] ByteArray BlankBytes(int n);

// The bytes of all arrays one after another in argument order.
[[nodiscard]] ByteArray ConcatBytes(std::initializer_list<ByteView> arrays);

// True when both arrays hold the same bytes in the same order.
[[nodiscard]] bool CompareBytes(ByteView a, ByteView b);

// The bitwise OR of all values.
[[nodiscard]] std::uint32_t BitOr(std::initializer_list<std::uint32_t> values);

}  // namespace lumerin

#endif  // LUMERIN_TEXT_BYTE_ARRAY_H_
