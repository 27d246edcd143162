#include "text/delimited.h"

#include "text/text_basic.h"
#include "text/text_blanks.h"
#include "text/text_search.h"

namespace lumerin {

namespace {

// "#引号" in GB18030, the spelling of a double quote that markers may use.
constexpr std::string_view kQuoteWord = "#\xD2\xFD\xBA\xC5";

Text WithQuotes(std::string_view marker) {
  return ReplaceText(marker, kQuoteWord, "\"", 1, kNoLimit, /*caseSensitive=*/true);
}

}  // namespace

Text TextBetween(std::string_view source, std::string_view left, std::string_view right, int start,
                 bool ignoreCase) {
  const Text leftMarker = WithQuotes(left);
  const Text rightMarker = WithQuotes(right);
  const int leftPos = FindText(source, leftMarker, start, ignoreCase);
  if (leftPos == -1) return Text();
  // A match ends inside the source, so this is at most length + 1; the
  // check keeps the sum defined for texts near 2 GiB.
  const long long after = static_cast<long long>(leftPos) + TextLength(leftMarker);
  if (after > kWholeText) return Text();
  const int valueStart = static_cast<int>(after);
  const int rightPos = FindText(source, rightMarker, valueStart, ignoreCase);
  if (rightPos == -1) return Text();
  return TextMid(source, valueStart, rightPos - valueStart);
}

Text HeaderValue(std::string_view line) {
  const int colon = FindText(line, ":");
  if (colon == -1) return Text();
  return TrimBoth(TextRight(line, TextLength(line) - colon));
}

}  // namespace lumerin
