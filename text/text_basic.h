// Measuring, joining, comparing and cutting texts.
//
// These operations count bytes: they never step over two-byte characters, so
// TextLeft, TextRight and TextMid can cut a two-byte character in half.
// Counts and positions outside the text give the empty text, never an error.
#ifndef LUMERIN_TEXT_TEXT_BASIC_H_
#define LUMERIN_TEXT_TEXT_BASIC_H_

#include <initializer_list>
#include <string_view>

#include "text/text_types.h"

namespace lumerin {

// The number of bytes of `text`; 0 for the empty text.
[[nodiscard]] int TextLength(std::string_view text);

// The texts one after another in argument order.
//   ConcatText({"文本长度：", "3"}) == "文本长度：3"
[[nodiscard]] Text ConcatText(std::initializer_list<std::string_view> texts);

// Negative, 0 or positive as `a` sorts before, equals or sorts after `b`,
// comparing bytes as unsigned values; a proper prefix sorts first.
[[nodiscard]] int CompareText(std::string_view a, std::string_view b);

// The first min(n, length) bytes; the empty text for n <= 0.
[[nodiscard]] Text TextLeft(std::string_view text, int n);

// The last min(n, length) bytes; the empty text for n <= 0.
[[nodiscard]] Text TextRight(std::string_view text, int n);

// At most n bytes from 1-based position `start`, never past the end; the empty
// text when start < 1, start > length or n <= 0.
//   TextMid("abcdef", 5, 10) == "ef"
[[nodiscard]] Text TextMid(std::string_view text, int start, int n);

}  // namespace lumerin

#endif  // LUMERIN_TEXT_TEXT_BASIC_H_
