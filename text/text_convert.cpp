#include "text/text_convert.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "text/char_step.h"

namespace lumerin {

using text_internal::CharWidthAt;

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

// `text` with the full-width digits, signs and Latin letters (0xA3 0xA1-0xFE),
// the full-width space, the wave dash and the two stars folded to their ASCII
// bytes; other characters stay and a lone lead byte is dropped.
Text FoldFullWidth(std::string_view text) {
  Text folded;
  folded.reserve(text.size());
  std::size_t cursor = 0;
  while (cursor < text.size()) {
    const std::size_t width = CharWidthAt(text, cursor);
    if (width == 0) break;
    if (width == 1) {
      folded.push_back(text[cursor++]);
      continue;
    }
    const auto lead = static_cast<unsigned char>(text[cursor]);
    const auto second = static_cast<unsigned char>(text[cursor + 1]);
    if (lead == 0xA3 && second >= 0xA1 && second <= 0xFE) {
      folded.push_back(static_cast<char>(second - 0x80));
    } else if (lead == 0xA1 && second == 0xA1) {
      folded.push_back(' ');
    } else if (lead == 0xA1 && second == 0xAB) {
      folded.push_back('~');
    } else if (lead == 0xA1 && (second == 0xEE || second == 0xEF)) {
      folded.push_back('*');
    } else {
      folded.append(text.substr(cursor, 2));
    }
    cursor += 2;
  }
  return folded;
}

bool IsParseSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

int ToInteger(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0) return kIntMax;
  if (value <= -2147483649.0) return kIntMin;
  return static_cast<int>(value);  // Truncates toward zero.
}

int ToInteger(std::string_view text) {
  const Text folded = FoldFullWidth(text);
  std::size_t cursor = 0;
  while (cursor < folded.size() && IsParseSpace(folded[cursor])) ++cursor;
  bool negative = false;
  if (cursor < folded.size() && (folded[cursor] == '+' || folded[cursor] == '-')) {
    negative = folded[cursor] == '-';
    ++cursor;
  }
  // Accumulates up to just past the 32-bit range, then keeps consuming digits.
  constexpr long long kCap = static_cast<long long>(kIntMax) + 1;
  long long magnitude = 0;
  for (; cursor < folded.size() && folded[cursor] >= '0' && folded[cursor] <= '9'; ++cursor) {
    if (magnitude < kCap) magnitude = magnitude * 10 + (folded[cursor] - '0');
  }
  if (negative) return magnitude >= kCap ? kIntMin : static_cast<int>(-magnitude);
  return magnitude >= kCap ? kIntMax : static_cast<int>(magnitude);
}

Text NumberToText(long long value) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  return Text(digits, end);
}

ByteArray TextToBytes(std::string_view text) { return ByteArray(text.begin(), text.end()); }

Text BytesToText(ByteView bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
  return Text(bytes.begin(), end);
}

Text CharFromCode(int code) {
  if (code < 1 || code > 255) return Text();
  return Text(1, static_cast<char>(code));
}

}  // namespace lumerin
