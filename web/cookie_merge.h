// Bringing a caller's own cookie list up to date from the cookies an answer
// set, for callers of WebRequest that keep their cookies themselves.
//
// A cookie list is a Text of pairs (a name, "=" and a value) joined by "; ".
// A pair whose last eight bytes are "=deleted" is a deleted pair. Every
// comparison here is exact, byte for byte and letter case significant.
#ifndef LUMERIN_WEB_COOKIE_MERGE_H_
#define LUMERIN_WEB_COOKIE_MERGE_H_

#include <string_view>

#include "text/text_types.h"

namespace lumerin {

// Merges `newCookies` (the pairs an answer set, joined by "; ") into
// `cookieList`. The merged list holds the new pairs in their order, then the
// stored pairs whose names no new pair carries (of stored pairs sharing a
// name, only the first), joined by "; ", with deleted pairs and exact repeats
// left out. Every blank is removed from both texts first, so spaces inside
// values are lost ("c=hello world" becomes "c=helloworld").
//
// Changes both arguments: `cookieList` receives the merged list, and
// `newCookies` itself without blanks. Returns the merged list.
//   list "a=1; b=2; d=4", new "b=5; d=deleted; e=6"
//     -> list "b=5; e=6; a=1", new "b=5;d=deleted;e=6"
Text MergeCookies(Text& cookieList, Text& newCookies);

// The name of a cookie pair: the text before its first "=" (the whole pair
// when it has none) without blanks at either end.
//   CookieName(" sid =9f=3") == "sid"
[[nodiscard]] Text CookieName(std::string_view pair);

// True when some pair of `pairs` has exactly the cookie name `name`.
[[nodiscard]] bool HasCookieName(const TextArray& pairs, std::string_view name);

// `list` (items joined by `separator`) with each repeated item left out, the
// first occurrence of every item staying in place; items joined by
// `separator` again. An empty list gives the empty text.
//   DedupeList("x; y; x", "; ") == "x; y"
[[nodiscard]] Text DedupeList(std::string_view list, std::string_view separator);

// The 1-based index of the first element of `items` equal to `item`; -1 when
// there is none.
[[nodiscard]] int FindInList(const TextArray& items, std::string_view item);

}  // namespace lumerin

#endif  // LUMERIN_WEB_COOKIE_MERGE_H_
