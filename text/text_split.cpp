#include "text/text_split.h"

#include "text/char_step.h"

namespace lumerin {

using text_internal::CharWidthAt;
using text_internal::MatchesAt;

TextArray SplitText(std::string_view text, std::string_view separator,
                    std::optional<int> maxCount) {
  TextArray pieces;
  if (text.empty() || (maxCount && *maxCount <= 0)) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t pieceStart = 0;
  std::size_t cursor = 0;
  while (text.size() - cursor >= separator.size()) {
    if (MatchesAt(text, cursor, separator, /*fold=*/false)) {
      pieces.emplace_back(text.substr(pieceStart, cursor - pieceStart));
      cursor += separator.size();
      pieceStart = cursor;
      if (maxCount && ArrayCount(pieces) == *maxCount) return pieces;
      continue;
    }
    const std::size_t width = CharWidthAt(text, cursor);
    if (width == 0) break;
    cursor += width;
  }
  if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
  return pieces;
}

}  // namespace lumerin
