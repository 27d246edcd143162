#include "text/line_breaks.h"

#include <algorithm>

namespace lumerin {

std::string CrLfFromLf(std::string_view text) {
  const auto lineFeeds = static_cast<std::size_t>(std::ranges::count(text, '\n'));
  std::string result;
  result.reserve(text.size() + lineFeeds);
  for (const char c : text) {
    if (c == '\n') result.push_back('\r');
    result.push_back(c);
  }
  return result;
}

std::string LfFromCrLf(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result.push_back(text[i]);
  }
  return result;
}

}  // namespace lumerin
