#include "text/text_search.h"

#include <algorithm>

#include "text/char_step.h"

namespace lumerin {

using text_internal::CharWidthAt;
using text_internal::MatchesAt;

namespace {

// Converts a 0-based offset found in a text to its 1-based position.
int PositionOf(std::size_t offset) { return static_cast<int>(offset + 1); }

}  // namespace

int FindText(std::string_view text, std::string_view search, int start, bool ignoreCase) {
  // The region runs from 0-based `begin` to the end of the text.
  const std::size_t begin = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (begin >= text.size()) return -1;
  if (search.empty()) return 1;
  std::size_t cursor = begin;
  while (text.size() - cursor >= search.size()) {
    if (MatchesAt(text, cursor, search, ignoreCase)) return PositionOf(cursor);
    const std::size_t width = CharWidthAt(text, cursor);
    if (width == 0) break;
    cursor += width;
  }
  return -1;
}

int FindTextReverse(std::string_view text, std::string_view search, int start, bool ignoreCase) {
  if (start <= 1) return -1;
  // The region runs from the first byte up to 0-based `end` (exclusive).
  const std::size_t end = std::min(static_cast<std::size_t>(start) - 1, text.size());
  if (end == 0) return -1;
  if (search.empty()) return 1;
  int found = -1;
  std::size_t cursor = 0;
  while (cursor < end && end - cursor >= search.size()) {
    if (MatchesAt(text, cursor, search, ignoreCase)) found = PositionOf(cursor);
    const std::size_t width = CharWidthAt(text, cursor);
    if (width == 0) break;
    cursor += width;
  }
  return found;
}

Text ReplaceText(std::string_view text, std::string_view search, std::string_view replacement,
                 int start, int count, bool caseSensitive) {
  const std::size_t begin = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (text.empty() || search.empty() || count == 0 || begin >= text.size()) return Text(text);
  Text result;
  result.reserve(text.size());
  result.append(text.substr(0, begin));
  int left = count;            // Replacements still allowed; negative means no limit.
  std::size_t copied = begin;  // Bytes from here to the cursor are still to be appended.
  std::size_t cursor = begin;
  while (text.size() - cursor >= search.size()) {
    if (MatchesAt(text, cursor, search, !caseSensitive)) {
      result.append(text.substr(copied, cursor - copied));
      result.append(replacement);
      cursor += search.size();
      copied = cursor;
      if (left > 0 && --left == 0) break;
      continue;
    }
    const std::size_t width = CharWidthAt(text, cursor);
    if (width == 0) {  // A lone lead byte, the last byte, is dropped.
      result.append(text.substr(copied, cursor - copied));
      return result;
    }
    cursor += width;
  }
  result.append(text.substr(copied));
  return result;
}

}  // namespace lumerin
