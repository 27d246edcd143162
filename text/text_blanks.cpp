#include "text/text_blanks.h"

#include "text/char_step.h"

namespace lumerin {

using text_internal::BlankWidthAt;
using text_internal::CharWidthAt;
using text_internal::FoldAscii;

Text TrimBoth(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size()) {
    const std::size_t blank = BlankWidthAt(text, first);
    if (blank == 0) break;
    first += blank;
  }
  std::size_t runStart = std::string_view::npos;  // Start of the current run of blanks.
  std::size_t cursor = first;
  while (cursor < text.size()) {
    const std::size_t blank = BlankWidthAt(text, cursor);
    if (blank != 0) {
      if (runStart == std::string_view::npos) runStart = cursor;
      cursor += blank;
      continue;
    }
    const std::size_t width = CharWidthAt(text, cursor);
    // A lone lead byte ends the result just before it; blanks in front of it stay.
    if (width == 0) return Text(text.substr(first, cursor - first));
    runStart = std::string_view::npos;
    cursor += width;
  }
  const std::size_t end = runStart == std::string_view::npos ? text.size() : runStart;
  return Text(text.substr(first, end - first));
}

Text RemoveAllSpaces(std::string_view text) {
  Text result;
  result.reserve(text.size());
  std::size_t cursor = 0;
  while (cursor < text.size()) {
    const std::size_t blank = BlankWidthAt(text, cursor);
    if (blank != 0) {
      cursor += blank;
      continue;
    }
    const std::size_t width = CharWidthAt(text, cursor);
    if (width == 0) break;  // A lone lead byte is left out.
    result.append(text.substr(cursor, width));
    cursor += width;
  }
  return result;
}

Text ToLowerText(std::string_view text) {
  Text result(text);
  std::size_t cursor = 0;
  while (cursor < result.size()) {
    const std::size_t width = CharWidthAt(result, cursor);
    if (width == 0) break;
    if (width == 1) result[cursor] = FoldAscii(result[cursor]);
    cursor += width;
  }
  return result;
}

Text BlankText(int n) {
  if (n < 1) return Text();
  return Text(static_cast<std::size_t>(n), ' ');
}

}  // namespace lumerin
