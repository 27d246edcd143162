// The three value types every layer of Lumerin works with.
//
// A Text is a sequence of bytes in the ANSI code page (GB18030 here) that never
// holds the byte 0. Its length is its byte count, so a two-byte character counts
// 2 and a CR LF line break counts 2. Positions in a Text are 1-based byte
// positions, and a search that finds nothing gives -1. An absent text and the
// empty text are one and the same value.
//
// A ByteArray is a count and that many arbitrary bytes, zero bytes included.
//
// A TextArray is a counted array of Text values, read with the 1-based
// ArrayElement and grown with ArrayAppend.
#ifndef LUMERIN_TEXT_TEXT_TYPES_H_
#define LUMERIN_TEXT_TEXT_TYPES_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumerin {

// Bytes of a text; by contract never the byte 0 (BytesToText is the way in
// from arbitrary bytes).
using Text = std::string;

using ByteArray = std::vector<std::uint8_t>;

// A read-only view of bytes, for arguments.
using ByteView = std::span<const std::uint8_t>;

using TextArray = std::vector<Text>;

// The number of elements of the array.
[[nodiscard]] inline int ArrayCount(const TextArray& array) {
  return static_cast<int>(array.size());
}

// Element `index` (1-based) of the array; the empty text when `index` lies
// outside 1 to ArrayCount.
[[nodiscard]] inline Text ArrayElement(const TextArray& array, int index) {
  if (index < 1 || index > ArrayCount(array)) return Text();
  return array[static_cast<std::size_t>(index - 1)];
}

// Adds a copy of `text` as element ArrayCount + 1. Changes `array`.
inline void ArrayAppend(TextArray& array, std::string_view text) { array.emplace_back(text); }

}  // namespace lumerin

#endif  // LUMERIN_TEXT_TEXT_TYPES_H_
