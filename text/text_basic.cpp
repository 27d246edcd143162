#include "text/text_basic.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace lumerin {

int TextLength(std::string_view text) {
  // Texts stay far below 2 GiB; the clamp only keeps the cast defined.
  constexpr std::size_t kMax = std::numeric_limits<int>::max();
  return static_cast<int>(std::min(text.size(), kMax));
}

Text ConcatText(std::initializer_list<std::string_view> texts) {
  std::size_t total = 0;
  for (std::string_view piece : texts) total += piece.size();
  Text result;
  result.reserve(total);
  for (std::string_view piece : texts) result.append(piece);
  return result;
}

int CompareText(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  // memcmp compares as unsigned char, which is the order wanted here.
  const int order = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
  if (order != 0) return order < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

Text TextLeft(std::string_view text, int n) {
  if (n <= 0) return Text();
  return Text(text.substr(0, static_cast<std::size_t>(n)));
}

Text TextRight(std::string_view text, int n) {
  if (n <= 0) return Text();
  const std::size_t count = std::min(static_cast<std::size_t>(n), text.size());
  return Text(text.substr(text.size() - count));
}

Text TextMid(std::string_view text, int start, int n) {
  if (start < 1 || n <= 0 || static_cast<std::size_t>(start) > text.size()) return Text();
  return Text(text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n)));
}

}  // namespace lumerin
