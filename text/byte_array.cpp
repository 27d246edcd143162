#include "text/byte_array.h"

#include <algorithm>
#include <limits>

namespace lumerin {

int BytesLength(ByteView bytes) {
  constexpr std::size_t kMax = std::numeric_limits<int>::max();
  return static_cast<int>(std::min(bytes.size(), kMax));
}

ByteArray BytesLeft(ByteView bytes, int n) {
  if (n <= 0) return ByteArray();
  const std::size_t count = std::min(static_cast<std::size_t>(n), bytes.size());
  return ByteArray(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

ByteArray BlankBytes(int n) {
  if (n <= 0) return ByteArray();
  return ByteArray(static_cast<std::size_t>(n), 0);
}

ByteArray ConcatBytes(std::initializer_list<ByteView> arrays) {
  std::size_t total = 0;
  for (const ByteView array : arrays) total += array.size();
  ByteArray result;
  result.reserve(total);
  for (const ByteView array : arrays) result.insert(result.end(), array.begin(), array.end());
  return result;
}

bool CompareBytes(ByteView a, ByteView b) { return std::ranges::equal(a, b); }

std::uint32_t BitOr(std::initializer_list<std::uint32_t> values) {
  std::uint32_t result = 0;
  for (const std::uint32_t value : values) result |= value;
  return result;
}

}  // namespace lumerin
