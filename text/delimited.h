// Taking a value out of a larger text by markers, without parsing its format.
//
// Neither routine knows JSON, HTTP or URL syntax: the markers carry all that
// knowledge, no escape sequence is decoded, and a text that does not hold the
// markers yields the empty text.
#ifndef LUMERIN_TEXT_DELIMITED_H_
#define LUMERIN_TEXT_DELIMITED_H_

#include <string_view>

#include "text/text_types.h"

namespace lumerin {

// The bytes strictly between the first `left` marker found from `start` on
// (FindText's start rules) and the first `right` marker that begins after it;
// the empty text when either is missing. In copies of both markers, every
// "#引号" (GB18030 bytes 23 D2 FD BA C5) first becomes a double quote, so a
// marker may spell its quotes that way. With `ignoreCase`, both markers are
// found with ASCII case folding.
//   TextBetween("{\"status\":0,\"longurl\":\"P?4F2A\"}", "\"longurl\":\"", "\"}") == "P?4F2A"
[[nodiscard]] Text TextBetween(std::string_view source, std::string_view left,
                               std::string_view right, int start = 0, bool ignoreCase = false);

// The text after the first ":" of `line`, without leading and trailing blanks;
// the empty text when the line holds no ":".
//   HeaderValue("Location: /p?t=a:b ") == "/p?t=a:b"
[[nodiscard]] Text HeaderValue(std::string_view line);

}  // namespace lumerin

#endif  // LUMERIN_TEXT_DELIMITED_H_
