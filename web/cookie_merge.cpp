#include "web/cookie_merge.h"

#include "text/text_basic.h"
#include "text/text_blanks.h"
#include "text/text_search.h"
#include "text/text_split.h"

namespace lumerin {

namespace {

// The marker that ends a pair the answer deletes.
constexpr std::string_view kDeletedMarker = "=deleted";

[[nodiscard]] bool IsDeletedPair(std::string_view pair) {
  return CompareText(TextRight(pair, TextLength(kDeletedMarker)), kDeletedMarker) == 0;
}

}  // namespace

Text MergeCookies(Text& cookieList, Text& newCookies) {
  cookieList = RemoveAllSpaces(cookieList);
  newCookies = RemoveAllSpaces(newCookies);
  const TextArray oldPairs = SplitText(cookieList, ";");
  TextArray working = SplitText(newCookies, ";");
  for (int i = 1; i <= ArrayCount(oldPairs); ++i) {
    const Text pair = ArrayElement(oldPairs, i);
    if (!HasCookieName(working, CookieName(pair))) ArrayAppend(working, pair);
  }
  Text joined;
  for (int i = 1; i <= ArrayCount(working); ++i) {
    const Text pair = ArrayElement(working, i);
    if (!IsDeletedPair(pair)) joined = ConcatText({joined, pair, "; "});
  }
  joined = TextLeft(joined, TextLength(joined) - 2);
  cookieList = DedupeList(joined, "; ");
  return cookieList;
}

Text CookieName(std::string_view pair) {
  const int equals = FindText(pair, "=");
  if (equals == -1) return TrimBoth(pair);
  return TrimBoth(TextLeft(pair, equals - 1));
}

bool HasCookieName(const TextArray& pairs, std::string_view name) {
  for (int i = 1; i <= ArrayCount(pairs); ++i) {
    if (CompareText(CookieName(ArrayElement(pairs, i)), name) == 0) return true;
  }
  return false;
}

Text DedupeList(std::string_view list, std::string_view separator) {
  const TextArray items = SplitText(list, separator);
  TextArray kept;
  Text result;
  for (int i = 1; i <= ArrayCount(items); ++i) {
    const Text item = ArrayElement(items, i);
    if (FindInList(kept, item) != -1) continue;
    ArrayAppend(kept, item);
    result = ConcatText({result, item, separator});
  }
  return TextLeft(result, TextLength(result) - TextLength(separator));
}

int FindInList(const TextArray& items, std::string_view item) {
  for (int i = 1; i <= ArrayCount(items); ++i) {
    if (CompareText(ArrayElement(items, i), item) == 0) return i;
  }
  return -1;
}

}  // namespace lumerin
