#include "linkstore/testing/sample_text.h"

#include <random>

namespace lumerin::testsupport {

Text SampleText(int length, std::uint32_t seed) {
  std::mt19937 generator(seed);
  std::uniform_int_distribution<int> byte(1, 255);
  Text text;
  text.reserve(static_cast<std::size_t>(length > 0 ? length : 0));
  for (int k = 0; k < length; ++k) text.push_back(static_cast<char>(byte(generator)));
  return text;
}

}  // namespace lumerin::testsupport
