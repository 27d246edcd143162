// Drawing the arguments of a call from a fuzz input.
//
// The targets read their inputs with FuzzedDataProvider; these helpers give
// the shapes the text toolkit's callers pass: texts without the byte 0, and
// positions and counts that mostly lie around a text's edges but sometimes
// sit at the ends of the int range.
#ifndef LUMERIN_FUZZ_FUZZ_INPUT_H_
#define LUMERIN_FUZZ_FUZZ_INPUT_H_

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <string>

namespace lumerin::fuzz {

// A text of at most `maxLength` bytes with its zero bytes removed, since a
// Text never holds one.
inline std::string ConsumeText(FuzzedDataProvider& data, std::size_t maxLength) {
  std::string text = data.ConsumeRandomLengthString(maxLength);
  std::erase(text, '\0');
  return text;
}

// A 1-based position or a count for a text of `length` bytes: usually in
// -2 to length + 2, sometimes INT_MIN or INT_MAX.
inline int ConsumePosition(FuzzedDataProvider& data, std::size_t length) {
  switch (data.ConsumeIntegralInRange(0, 7)) {
    case 0:
      return INT_MIN;
    case 1:
      return INT_MAX;
    default:
      return data.ConsumeIntegralInRange(
          -2, static_cast<int>(std::min<std::size_t>(length, 1 << 20)) + 2);
  }
}

}  // namespace lumerin::fuzz

#endif  // LUMERIN_FUZZ_FUZZ_INPUT_H_
