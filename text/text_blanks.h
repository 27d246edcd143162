// Blanks and letter case.
//
// A blank is the byte 0x20 or the full-width space 0xA1 0xA1 standing at a
// character start; tab, CR, LF and every other byte are not blanks.
#ifndef LUMERIN_TEXT_TEXT_BLANKS_H_
#define LUMERIN_TEXT_TEXT_BLANKS_H_

#include <string_view>

#include "text/text_types.h"

namespace lumerin {

// `text` without its leading and trailing blanks; a text of blanks only gives
// the empty text. A lone lead byte at the end is dropped, and a run of blanks
// in front of it stays.
//   TrimBoth(" \tx \r") == "\tx \r"
[[nodiscard]] Text TrimBoth(std::string_view text);

// `text` with every blank removed; a lone lead byte at the end is dropped.
[[nodiscard]] Text RemoveAllSpaces(std::string_view text);

// `text` with every byte 0x41-0x5A raised to 0x61-0x7A, except second bytes
// of two-byte characters, which never change. Same length.
[[nodiscard]] Text ToLowerText(std::string_view text);

// A text of n spaces; the empty text for n < 1.
[[nodiscard]] Text BlankText(int n);

}  // namespace lumerin

#endif  // LUMERIN_TEXT_TEXT_BLANKS_H_
