// Searching and replacing inside texts.
//
// The scans step by characters: a byte 0x80-0xFF is the lead byte of a
// two-byte character and the byte after it is skipped, so a match can begin
// only at a character start. A lone lead byte (the last byte of a text) ends a
// scan. Case folding, where asked for, maps only the ASCII letters A to Z, on
// every byte of the compared span. Positions are 1-based; -1 means not found.
//
// Note the flags run in opposite senses: FindText and FindTextReverse take an
// ignore-case flag, ReplaceText a case-sensitive one.
#ifndef LUMERIN_TEXT_TEXT_SEARCH_H_
#define LUMERIN_TEXT_TEXT_SEARCH_H_

#include <limits>
#include <string_view>

#include "text/text_types.h"

namespace lumerin {

// A start that makes FindTextReverse search the whole text.
inline constexpr int kWholeText = std::numeric_limits<int>::max();

// A count that makes ReplaceText replace every occurrence.
inline constexpr int kNoLimit = -1;

// The position of the first occurrence of `search` that begins at or after
// `start`, or -1. A start of 1 or less searches the whole text; a start beyond
// the length finds nothing. An empty `search` gives 1 when the searched region
// is not empty, else -1.
//   FindText("abcb", "b") == 2;  FindText("abcb", "b", 3) == 4
[[nodiscard]] int FindText(std::string_view text, std::string_view search, int start = 0,
                           bool ignoreCase = false);

// The position of the last occurrence of `search` that ends at position
// start - 1 or earlier, or -1. A start of 1 or less finds nothing; a start of
// length + 1 or more (kWholeText) searches the whole text. An empty `search`
// gives 1 when the searched region is not empty, else -1.
//   FindTextReverse("a.b.c", ".") == 4;  FindTextReverse("a.b.c", ".", 4) == 2
[[nodiscard]] int FindTextReverse(std::string_view text, std::string_view search,
                                  int start = kWholeText, bool ignoreCase = false);

// `text` with the occurrences of `search` from position `start` on (a start
// below 1 counts as 1) replaced by `replacement`, left to right, without
// overlap, at most `count` of them (a negative count means no limit). The text
// comes back unchanged when it is empty, `search` is empty, `count` is 0 or
// `start` lies beyond the length. The replacement is never searched again.
// A lone lead byte met by the scan is dropped.
//   ReplaceText("a-b-c", "-", "+", 1, 1, true) == "a+b-c"
[[nodiscard]] Text ReplaceText(std::string_view text, std::string_view search,
                               std::string_view replacement = {}, int start = 1,
                               int count = kNoLimit, bool caseSensitive = false);

}  // namespace lumerin

#endif  // LUMERIN_TEXT_TEXT_SEARCH_H_
